"""The sound button mutes exactly the game pages' own sound: with one tab, the page process plays a
tone on request of the automation channel (as a game's plug-in would), and the ALSA file device that
this case's HOME gives the Wine processes records what its output lets through."""
import os
import subprocess

from harness import main, wait_until
from test_road import PAGE_AUTOMATE, Road

TONE_BYTES = 8820  # 200 ms, 16-bit mono at 22,050 Hz


class SoundButton(Road):
    def setUp(self):
        super().setUp()
        self.recording = os.path.join(self.tmp, "out.raw")
        with open(os.path.join(self.tmp, ".asoundrc"), "w") as f:
            f.write(f'pcm.!default {{ type file; slave.pcm "null"; file "{self.recording}"; format "raw" }}\n')
        self.wine.env["HOME"] = self.tmp  # without it Wine has no sound device here

    def heard(self):
        """Nonzero bytes of the recording of one tone played by the page process."""
        if os.path.exists(self.recording):
            os.unlink(self.recording)
        self.assertEqual(self.wine.run(PAGE_AUTOMATE, ["tone", "-"], timeout=30), 0, "the page plays its tone")
        self.assertTrue(wait_until(lambda: os.path.exists(self.recording) and
                                   os.path.getsize(self.recording) >= TONE_BYTES, 5), "the tone was recorded")
        with open(self.recording, "rb") as f:
            return sum(1 for b in f.read() if b)

    def click_sound_button(self, main_wnd):
        # Button 1002 sits at (width - 141, 0), 27 x 27, in the caption band.
        x, y = main_wnd.left + main_wnd.width - 141 + 13, main_wnd.top + 13
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], timeout=10)

    def test_the_sound_button_mutes_and_unmutes_the_page_process(self):
        self.start_program()
        self.log_in_as_tab("S1服-abc-player01", 1, [])
        main_wnd = self.main_window()
        self.assertGreater(self.heard(), TONE_BYTES // 2, "the page is heard before muting")
        self.click_sound_button(main_wnd)
        self.assertTrue(wait_until(lambda: self.heard() == 0, 10, interval=0), "the next broadcast mutes the page")
        self.click_sound_button(main_wnd)
        self.assertTrue(wait_until(lambda: self.heard() > TONE_BYTES // 2, 10, interval=0),
                        "and the one after the second click unmutes it")


if __name__ == "__main__":
    main()
