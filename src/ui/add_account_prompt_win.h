// AddAccountPrompt: the pop-up that asks whether another account logs in as a new tab of this
// window or in a new window. It only asks: the answer is posted to its parent.
#pragma once
#include <windows.h>

#include "base/page_protocol.h"
#include "ui/skin_button_win.h"
#include "ui/skinned_dialog_win.h"
#include "ui/skin_label_win.h"

namespace ui {

class AddAccountPrompt : public SkinnedDialog {
public:
    // Posted to the parent with wParam 1 (a new tab here) or 0 (a new window), lParam 0.
    static constexpr UINT kAnswerMessage = base::WM_ADDACCOUNT;

    // Where the prompt lies in the program's resources; the answer buttons are IDOK and IDCANCEL.
    struct Resources {
        UINT dialogTemplate = 0;
        UINT textLabel = 0; // the question's control in the template
        UINT background = 0;
    };

    explicit AddAccountPrompt(const Resources& ids, HWND parent = nullptr);
    ~AddAccountPrompt() override = default;

    const SkinButton& YesButton() const { return m_yesButton; }
    const SkinButton& NoButton() const { return m_noButton; }
    const SkinLabel& Question() const { return m_question; }

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    // The answer buttons are IDOK and IDCANCEL; Enter and Escape answer the same way.
    void OnOK() override { Answer(1); }
    void OnCancel() override { Answer(0); }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Answer(WPARAM newTab);

    Resources m_ids;
    SkinButton m_yesButton;
    SkinButton m_noButton;
    SkinLabel m_question;
};

} // namespace ui
