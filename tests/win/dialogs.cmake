# The About box, the version reader and the start-up registration dialog, driven in-process.
# Included from tests/win/CMakeLists.txt. The run needs a display (Xvfb) and touches the
# HKLM Run key of the Wine prefix, restoring whatever it found there.

# Resource-only DLLs that stand in for executables with unusual version data. The test
# finds them next to itself as sample_<name>.dll.
set(VB_VERSION_SAMPLES no_version other_translation unmatched_block empty_value no_translation)
set(VB_VERSION_SAMPLE_TARGETS)
foreach(sample IN LISTS VB_VERSION_SAMPLES)
  set(target vb_sample_${sample})
  add_library(${target} SHARED ${CMAKE_CURRENT_LIST_DIR}/data/${sample}.rc)
  set_target_properties(${target} PROPERTIES
    PREFIX "" OUTPUT_NAME sample_${sample} LINKER_LANGUAGE C
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  # windres rejects the C++ warning flags of the tree.
  set_property(TARGET ${target} PROPERTY COMPILE_OPTIONS "")
  list(APPEND VB_VERSION_SAMPLE_TARGETS ${target})
endforeach()

# The program's own resources are linked in, so the test file carries its version data.
add_executable(vb_dialogs_test ${CMAKE_CURRENT_LIST_DIR}/dialogs_test.cpp
                               $<TARGET_OBJECTS:vb_resources>)
target_link_libraries(vb_dialogs_test PRIVATE vb_ui gtest)
set_target_properties(vb_dialogs_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
add_dependencies(vb_dialogs_test ${VB_VERSION_SAMPLE_TARGETS})
add_test(NAME dialogs COMMAND vb_dialogs_test)
set_tests_properties(dialogs PROPERTIES ENVIRONMENT "LANG=en_US.UTF-8;LC_ALL=en_US.UTF-8")
