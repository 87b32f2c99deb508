# Writes the install script of one host database by running the built program:
#   cmake -DPROGRAM=rapo -DDIALECT=ORACLE -DOUTPUT=rapo-oracle.sql -P write-host-schema.cmake
# A failed run fails the build and leaves no half-written script behind.
execute_process(COMMAND "${PROGRAM}" --host-schema "${DIALECT}"
                OUTPUT_FILE "${OUTPUT}.part"
                ERROR_VARIABLE error
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE "${OUTPUT}.part")
  message(FATAL_ERROR "rapo --host-schema ${DIALECT} failed (${result}): ${error}")
endif()
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
