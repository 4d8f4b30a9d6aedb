# Runs one fuzzer for SECONDS from the seed corpus, with a fixed seed and a
# fresh working corpus in WORK (the seeds in the tree are never written to).
# A crash or a broken rule fails the test and leaves the input in WORK.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/corpus")
execute_process(
  COMMAND "${FUZZER}" -seed=1 -max_total_time=${SECONDS} -timeout=10 -print_final_stats=1
          "-dict=${DICT}" "-artifact_prefix=${WORK}/" "${WORK}/corpus" "${SEEDS}"
  RESULT_VARIABLE result
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err)
string(REGEX MATCH "Done [0-9]+ runs in [0-9]+ second\\(s\\)" done "${err}")
string(REGEX MATCH "stat::average_exec_per_sec: *[0-9]+" speed "${err}")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${result}):\n${err}")
endif()
if(NOT done)
  message(FATAL_ERROR "${FUZZER} ran no inputs:\n${err}")
endif()
message("${done}; ${speed}")
