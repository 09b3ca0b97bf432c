# Runs the game twice with one save folder: the first run saves, the second loads. The
# variables at the end must be the same (but for the run counter, a status variable that
# survives the restart, and the after-load page's mark), and novatool must read the save file.
# Inputs: PLAYER, NOVATOOL, GAME (folder holding game.dat), WORK (a scratch folder).
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/save)
foreach(run 1 2)
  execute_process(
    COMMAND ${PLAYER} --headless --frames 30 --save-dir ${WORK}/save --dump-vars ${WORK}/run${run}.jsonl ${GAME}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "run ${run}: novaplayer ended with ${rc}:\n${out}${err}")
  endif()
  file(STRINGS ${WORK}/run${run}.jsonl lines${run} ENCODING UTF-8)
endforeach()

foreach(expected "\"name\": \"runs\", \"type\": \"int\", \"dims\": [], \"values\": [2]"
                 "\"name\": \"resumed\", \"type\": \"int\", \"dims\": [], \"values\": [1]"
                 "\"name\": \"score\", \"type\": \"int\", \"dims\": [], \"values\": [45]")
  string(FIND "${lines2}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "run 2 lacks ${expected}:\n${lines2}")
  endif()
endforeach()
foreach(run 1 2)
  list(FILTER lines${run} EXCLUDE REGEX "\"(runs|resumed)\"")
  list(SORT lines${run})
endforeach()
if(NOT lines1 STREQUAL lines2)
  message(FATAL_ERROR "the loaded game ended differently\n--- first run\n${lines1}\n--- second run\n${lines2}")
endif()

execute_process(COMMAND ${NOVATOOL} save show ${WORK}/save/save.dat --game ${GAME}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT out MATCHES "GAMESAVEDATA1  slot 1  version 138  caption \"chapter one\"")
  message(FATAL_ERROR "novatool save show: ${rc}\n${out}${err}")
endif()
