# Compresses INPUT into OUTPUT with gzip -9n: the best compression, and neither the file's name
# nor its time inside, so the output depends on the text alone. Run by packaging/CMakeLists.txt.
execute_process(COMMAND gzip -9n -c ${INPUT} OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE ${OUTPUT})
  message(FATAL_ERROR "gzip -9n ${INPUT} failed: ${result}")
endif()
