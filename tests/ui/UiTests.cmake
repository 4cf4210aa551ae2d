# Window tests, run on Qt's offscreen platform; tests of pure rules need no support files.
parlowen_add_ui_test(ui/main/MainWindowTest ui/ScriptedMessageBoxes.cpp ui/UiTestSupport.cpp)
parlowen_add_ui_test(ui/main/MainWindowOperationsTest ui/ScriptedMessageBoxes.cpp ui/UiTestSupport.cpp)
parlowen_add_ui_test(ui/notices/QtMessageBoxesTest ui/UiTestSupport.cpp)
parlowen_add_ui_test(ui/desktop/LocaleSetupTest ui/UiTestSupport.cpp)
parlowen_add_ui_test(ui/notices/InformationMessagesTest)
parlowen_add_ui_test(ui/keyboard/ListKeyRulesTest)
parlowen_add_ui_test(ui/main/LogFilesTest)
parlowen_add_ui_test(ui/desktop/TwipsTest)
parlowen_add_ui_test(ui/keyboard/KeysTest)

# A modal box that nobody closes would otherwise hang the run.
set_tests_properties(MainWindowTest QtMessageBoxesTest PROPERTIES TIMEOUT 120)
parlowen_add_ui_test(ui/keyboard/NavigationTest)
parlowen_add_ui_test(ui/palette/PaletteTableTest)
parlowen_add_ui_test(ui/palette/PaletteWindowTest ui/ScriptedMessageBoxes.cpp ui/UiTestSupport.cpp)
parlowen_add_ui_test(ui/main/KeyboardTest ui/ScriptedMessageBoxes.cpp ui/UiTestSupport.cpp)
parlowen_add_ui_test(ui/widgets/CheckViewTest ui/UiTestSupport.cpp)
parlowen_add_ui_test(ui/desktop/ClipboardTextTest ui/UiTestSupport.cpp)

# The captions in both locales the window is used in: fontconfig names the fonts in Japanese in one and in
# English in the other.
parlowen_add_ui_test(ui/main/CaptionFitTest ui/ScriptedMessageBoxes.cpp ui/UiTestSupport.cpp)
add_test(NAME CaptionFitTest.C COMMAND CaptionFitTest)
set_tests_properties(CaptionFitTest.C PROPERTIES ENVIRONMENT
  "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;LC_ALL=C.UTF-8;XDG_STATE_HOME=${CMAKE_CURRENT_BINARY_DIR}/state/CaptionFitTest.C")

# A log of tens of megabytes worked on while a timer ticks on the GUI thread.
parlowen_add_ui_test(ui/main/LogOperationRunnerTest ui/ScriptedMessageBoxes.cpp ui/UiTestSupport.cpp)
set_tests_properties(LogOperationRunnerTest PROPERTIES TIMEOUT 180)
