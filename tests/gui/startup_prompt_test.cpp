// The choice prompt, the About box and the out-of-memory message.
#include "tests/gui/gui_harness.h"

#include "resources/version.h"
#include "shell/about_box.h"
#include "shell/choice_prompt.h"
#include "startup/startup.h"
#include "window/job_control.h"

namespace {

HFONT controlFont(HWND dialog, int id) {
    return reinterpret_cast<HFONT>(SendDlgItemMessageA(dialog, id, WM_GETFONT, 0, 0));
}

struct PromptSeen {
    HFONT message = nullptr;
    HFONT button1 = nullptr;
    HFONT button2 = nullptr;
    bool topmost = false;
    std::string texts;
};

// An inspector that records what the open prompt shows.
std::function<void(HWND)> recordInto(PromptSeen& seen) {
    return [&seen](HWND prompt) {
        seen.message = controlFont(prompt, 1601);
        seen.button1 = controlFont(prompt, IDOK);
        seen.button2 = controlFont(prompt, IDCANCEL);
        seen.topmost = (GetWindowLongA(prompt, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        seen.texts = dialogItemText(prompt, 1601) + "|" + dialogItemText(prompt, IDOK) + "|" +
                     dialogItemText(prompt, IDCANCEL);
    };
}

void expectFontsDeleted(const PromptSeen& seen) {
    EXPECT_EQ(GetObjectType(seen.button1), 0u) << "button font not deleted";
    EXPECT_EQ(GetObjectType(seen.message), 0u) << "message font not deleted";
}

// Sends a key to the prompt's focused button, as the keyboard would.
std::function<void(HWND)> pressKey(WPARAM key) {
    return [key](HWND prompt) { PostMessageA(GetDlgItem(prompt, IDOK), WM_KEYDOWN, key, 0); };
}

}  // namespace

TEST_F(GuiTest, SmallMessageKindShowsTheTextsAndAnswersTheFirstButton) {
    PromptSeen seen;
    DialogAnswerer answers({{KESTROW_TITLE, IDOK, window(), recordInto(seen)}});
    EXPECT_EQ(askChoice(window(), "Question?", "Yes please", "No thanks", kPromptSmallMessage), 1);
    ASSERT_TRUE(answers.finish());
    EXPECT_EQ(seen.texts, "Question?|Yes please|No thanks");
    EXPECT_NE(seen.button1, nullptr);
    EXPECT_NE(seen.message, nullptr);
    EXPECT_NE(seen.message, seen.button1) << "the small kind's message has a font of its own";
    EXPECT_EQ(seen.button2, seen.button1);
    EXPECT_TRUE(seen.topmost);
    expectFontsDeleted(seen);
}

TEST_F(GuiTest, LargeMessageKindUsesTheLargeFontEverywhereAndAnswersTheSecondButton) {
    SetWindowPos(window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    PromptSeen seen;
    DialogAnswerer answers({{KESTROW_TITLE, IDCANCEL, window(), recordInto(seen)}});
    EXPECT_EQ(askChoice(window(), "Sure?", "A", "B", kPromptLargeMessage), 2);
    ASSERT_TRUE(answers.finish());
    EXPECT_EQ(seen.message, seen.button1);
    EXPECT_TRUE(seen.topmost);
    expectFontsDeleted(seen);
}

TEST_F(GuiTest, EscAnswersTheSecondButtonAndEnterTheFirst) {
    PromptSeen seen;
    {
        DialogAnswerer answers({{KESTROW_TITLE, 0, window(), pressKey(VK_ESCAPE)}});
        EXPECT_EQ(askChoice(window(), "Esc?", "One", "Two", kPromptSmallMessage), 2);
        EXPECT_TRUE(answers.finish());
    }
    DialogAnswerer answers({{KESTROW_TITLE, 0, window(), [&](HWND prompt) {
                                 recordInto(seen)(prompt);
                                 pressKey(VK_RETURN)(prompt);
                             }}});
    EXPECT_EQ(askChoice(window(), "Enter?", "One", "Two", kPromptSmallMessage), 1);
    EXPECT_TRUE(answers.finish());
    expectFontsDeleted(seen);
}

TEST_F(GuiTest, AboutBoxShowsTitleVersionAndFoldersWhileMarkedOpen) {
    uint32_t openWhileShown = 0;
    std::string texts;
    DialogAnswerer answers({{"About Kestrow", IDOK, window(), [&](HWND about) {
                                 openWhileShown = gui().aboutOpen;
                                 texts = dialogItemText(about, 1101) + "|" + dialogItemText(about, 1102) +
                                         "|" + dialogItemText(about, 1103) + "|" +
                                         dialogItemText(about, 1104);
                                 saveScreenshot(about, "about_box");
                             }}});
    showAboutBox(window());
    ASSERT_TRUE(answers.finish());
    EXPECT_EQ(openWhileShown, 1u);
    EXPECT_EQ(gui().aboutOpen, 0u);
    EXPECT_EQ(texts, "Kestrow 1.31|Version 1.31|" + dataFolder() + "|" + dataFolder());
}

TEST(StartUp, NoMemoryMessageHasItsTextAndCaption) {
    std::string text;
    HWND owner = reinterpret_cast<HWND>(1);
    DialogAnswerer answers({{KESTROW_EXE_NAME, IDOK, nullptr, [&](HWND box) {
                                 text = dialogItemText(box, 0xFFFF);
                                 owner = GetWindow(box, GW_OWNER);
                             }}});
    showNoMemoryMessage();
    ASSERT_TRUE(answers.finish());
    EXPECT_EQ(text, "Not enough memory");
    EXPECT_EQ(owner, nullptr);
}

TEST(StartUp, PreparesAnApartmentThreadedComponentLibrary) {
    HRESULT again = E_FAIL;
    HRESULT otherModel = E_FAIL;
    WorkerThread fresh;
    fresh.start([&] {
        prepareProcess();
        again = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        otherModel = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        CoUninitialize();
        CoUninitialize();
    });
    fresh.join();
    EXPECT_EQ(again, S_FALSE);
    EXPECT_EQ(otherModel, RPC_E_CHANGED_MODE);
    EXPECT_EQ(gui().instance, GetModuleHandleA(nullptr));
    resetProgramState();
}
