# Window tests, run on Qt's offscreen platform; tests of pure rules need no support files.
parlowen_add_ui_test(ui/Form1Test ui/ScriptedMessageBoxes.cpp ui/UiTestSupport.cpp)
parlowen_add_ui_test(ui/Form1OperationsTest ui/ScriptedMessageBoxes.cpp ui/UiTestSupport.cpp)
parlowen_add_ui_test(ui/QtMessageBoxesTest ui/UiTestSupport.cpp)
parlowen_add_ui_test(ui/LocaleSetupTest ui/UiTestSupport.cpp)
parlowen_add_ui_test(ui/InformationMessagesTest)
parlowen_add_ui_test(ui/ListKeyRulesTest)
parlowen_add_ui_test(ui/LogFilesTest)
parlowen_add_ui_test(ui/TwipsTest)
parlowen_add_ui_test(ui/KeyCodesTest)

# A modal box that nobody closes would otherwise hang the run.
set_tests_properties(Form1Test QtMessageBoxesTest PROPERTIES TIMEOUT 120)
parlowen_add_ui_test(ui/NavigationTest)
parlowen_add_ui_test(ui/PaletteTableTest)
parlowen_add_ui_test(ui/Form2Test ui/ScriptedMessageBoxes.cpp ui/UiTestSupport.cpp)
parlowen_add_ui_test(ui/KeyboardTest ui/ScriptedMessageBoxes.cpp ui/UiTestSupport.cpp)
parlowen_add_ui_test(ui/CheckWindowTextTest)
parlowen_add_ui_test(ui/ClipboardTextTest ui/UiTestSupport.cpp)

# The captions in both locales the window is used in: fontconfig names the fonts in Japanese in one and in
# English in the other.
parlowen_add_ui_test(ui/CaptionFitTest ui/ScriptedMessageBoxes.cpp ui/UiTestSupport.cpp)
add_test(NAME CaptionFitTest.C COMMAND CaptionFitTest)
set_tests_properties(CaptionFitTest.C PROPERTIES ENVIRONMENT
  "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;LC_ALL=C.UTF-8;XDG_STATE_HOME=${CMAKE_CURRENT_BINARY_DIR}/state/CaptionFitTest.C")

# A log of tens of megabytes worked on while a timer ticks on the GUI thread.
parlowen_add_ui_test(ui/LogOperationRunnerTest ui/ScriptedMessageBoxes.cpp ui/UiTestSupport.cpp)
set_tests_properties(LogOperationRunnerTest PROPERTIES TIMEOUT 180)
