# shell32, comdlg32, version and ole32 are loaded when a function of theirs is first
# called: a start that copies nothing needs none of them. dlltool makes delay-load import
# libraries from the toolchain's own, under the same names, in a folder the linker searches
# first, so every target that links shell32 (or the others) gets them without a change.
# The delay-load helper (libmingwex) uses LoadLibraryA and GetProcAddress only; the hook in
# framework/fw_winmain.cpp has it load these DLLs from the system folder.
set(VB_DELAY_LOADED shell32 comdlg32 version ole32)
set(VB_DELAY_DIR ${CMAKE_BINARY_DIR}/delayimp)
file(MAKE_DIRECTORY ${VB_DELAY_DIR})
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(vb_imp_prefix "__imp__")  # __imp__SHFileOperationA@4
  set(vb_thunk_prefix "_")
  # GNU ld for i386 drops an import's jump stub when only its __imp_ pointer is used,
  # and with it the load thunk that the delay slot points to: the slot would stay zero
  # and the first call jump to address 0. Without dllimport every call goes through the
  # stub (one jump more), which keeps the thunk. tools/check-delay-load.py checks it.
  add_compile_definitions(DECLSPEC_IMPORT=)
else()
  set(vb_imp_prefix "__imp_")
  set(vb_thunk_prefix "")
endif()
foreach(dll IN LISTS VB_DELAY_LOADED)
  set(lib ${VB_DELAY_DIR}/lib${dll}.a)
  if(EXISTS ${lib})
    continue()
  endif()
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=lib${dll}.a
                  OUTPUT_VARIABLE implib OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND ${CMAKE_NM} ${implib} OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "delay load: cannot read ${implib}")
  endif()
  # Functions only (they have a thunk, "T name"): data cannot be delay-loaded.
  string(REGEX MATCHALL " T ${vb_thunk_prefix}[A-Za-z0-9_@]+" thunks "${symbols}")
  set(def "LIBRARY ${dll}.dll\nEXPORTS\n")
  foreach(thunk IN LISTS thunks)
    string(REGEX REPLACE "^ T ${vb_thunk_prefix}" "" name "${thunk}")
    string(FIND "${symbols}" " I ${vb_imp_prefix}${name}\n" is_import)
    if(NOT is_import EQUAL -1)
      string(APPEND def "${name}\n")
    endif()
  endforeach()
  file(WRITE ${VB_DELAY_DIR}/${dll}.def "${def}")
  execute_process(COMMAND ${CMAKE_DLLTOOL} -k -d ${VB_DELAY_DIR}/${dll}.def -y ${lib}
                  RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR NOT EXISTS ${lib})
    message(FATAL_ERROR "delay load: dlltool could not make ${lib}")
  endif()
endforeach()
link_directories(BEFORE ${VB_DELAY_DIR})
