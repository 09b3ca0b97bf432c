# Runs a built test game headless and compares its variable dump with the expected one.
# Inputs: PLAYER, GAME (folder holding game.dat), FRAMES, EXPECTED, WORK (a scratch folder).
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/save)
execute_process(
  COMMAND ${PLAYER} --headless --frames ${FRAMES} --save-dir ${WORK}/save --dump-vars ${WORK}/vars.jsonl ${GAME}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "novaplayer ended with ${rc}:\n${out}${err}")
endif()
if(NOT EXISTS ${WORK}/vars.jsonl)
  message(FATAL_ERROR "novaplayer wrote no variable dump:\n${out}${err}")
endif()
file(READ ${WORK}/vars.jsonl actual)
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "variable dump differs from ${EXPECTED}\n--- expected\n${expected}--- actual\n${actual}")
endif()
