#include "web/page_security_win.h"

#include "fw/scheme_refusal_win.h"
#include "fw/security_manager_win.h"
#include "net/publisher_win.h"
#include "web/page_security.h"

namespace web {

namespace {

fw::AddressClass ClassifyForThisProcess(std::wstring_view url) {
    return ClassifyPageAddress(url, net::PublisherOverride());
}

} // namespace

bool SecurePageProcess() {
    fw::SetPageAddressRule(ClassifyForThisProcess);
    return fw::RefuseUnfetchableSchemes();
}

} // namespace web
