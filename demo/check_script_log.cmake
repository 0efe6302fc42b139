# Plays the demo's script and reads its log: the Up arrow pressed in the month of Kalendo2 is heard as exactly
# one KeyDown (38, no Shift) and one Change; Save shows the control's format in the bag; Load brings it back;
# the property frame opened (its picture was saved); nothing fails.
# Usage: cmake -DWINE_TOOL=scripts/wine-tool -DBITS=32|64 -DDEMO=kalendo_demo.exe -DPICTURE=frame.png
#              -P check_script_log.cmake
file(REMOVE ${PICTURE})
execute_process(COMMAND ${WINE_TOOL} ${BITS} ${DEMO} --properties-screenshot ${PICTURE}
                OUTPUT_VARIABLE log ERROR_VARIABLE errors RESULT_VARIABLE result TIMEOUT 60)
message("${log}")
if(NOT result EQUAL 0 OR log MATCHES " failed: " OR NOT EXISTS ${PICTURE})
  message(FATAL_ERROR "kalendo_demo's script ended with ${result}: ${errors}")
endif()

string(FIND "${log}" "Script: Up arrow in the month of Kalendo2" pressed)
string(FIND "${log}" "Kalendo2  saved:" saved)
if(pressed EQUAL -1 OR saved LESS pressed)
  message(FATAL_ERROR "the log lacks the keystroke or the save after it")
endif()
math(EXPR length "${saved} - ${pressed}")
string(SUBSTRING "${log}" ${pressed} ${length} keystroke)
string(REGEX MATCHALL "Kalendo2  KeyDown[^\r\n]*" key_downs "${keystroke}")
string(REGEX MATCHALL "Kalendo2  Change[^\r\n]*" changes "${keystroke}")
if(NOT key_downs STREQUAL "Kalendo2  KeyDown 38 0" OR NOT changes STREQUAL "Kalendo2  Change")
  message(FATAL_ERROR "one KeyDown 38 0 and one Change expected, heard: ${key_downs} / ${changes}")
endif()

string(SUBSTRING "${log}" ${saved} -1 save_and_load)
foreach(line "Formato = dd/mmm/yyyy" "Kalendo2  loaded")
  string(FIND "${save_and_load}" "${line}" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "the log lacks \"${line}\" after the save")
  endif()
endforeach()
