# The real main window, in-process under Wine: loading, saving, rows and button rules.
# It reads and writes vb_main_window_test.ini beside the test program, as the program
# does beside VellumBox.exe.
add_executable(vb_main_window_test main_window_test.cpp $<TARGET_OBJECTS:vb_resources>)
target_link_libraries(vb_main_window_test PRIVATE vb_ui gtest)
add_test(NAME main_window COMMAND vb_main_window_test)
add_test(NAME main_window_ja COMMAND vb_main_window_test --gtest_filter=*Japanese*)
set_tests_properties(main_window_ja PROPERTIES ENVIRONMENT "LANG=ja_JP.UTF-8;LC_ALL=ja_JP.UTF-8")
set_tests_properties(main_window PROPERTIES ENVIRONMENT "LANG=en_US.UTF-8;LC_ALL=en_US.UTF-8")
