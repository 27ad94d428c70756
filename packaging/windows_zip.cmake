# Run by CPack's External generator once the install rules have filled the staging folder: zips
# it into <package file name>.zip with one folder of that name inside, every file's time set to
# SOURCE_DATE_EPOCH (or, without it, the time of the last commit), so the zip is reproducible.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(COMMAND git -C ${CPACK_VANTREL_SOURCE_DIR} log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE result ERROR_QUIET)
  if(NOT result EQUAL 0 OR epoch STREQUAL "")
    # Not a git checkout: the earliest time a zip can hold.
    set(epoch 315532800)
  endif()
endif()
set(zip ${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.zip)
execute_process(
  COMMAND ${CPACK_VANTREL_PYTHON} ${CPACK_VANTREL_ZIP_WRITER} ${zip} ${epoch}
          ${CPACK_TEMPORARY_DIRECTORY} ${CPACK_PACKAGE_FILE_NAME}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "writing ${zip} failed")
endif()
set(CPACK_EXTERNAL_BUILT_PACKAGES ${zip})
