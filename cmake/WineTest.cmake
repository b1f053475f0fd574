# velmora_add_test(TARGET [TIMEOUT seconds])
# Registers one CTest entry for a test executable; CTest runs it through
# CMAKE_CROSSCOMPILING_EMULATOR (tools/wine-run). GoogleTest cases are not split up.
function(velmora_add_test target)
  cmake_parse_arguments(ARG "" "TIMEOUT" "" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  add_test(NAME ${target} COMMAND ${target})
  set_tests_properties(${target} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
endfunction()
