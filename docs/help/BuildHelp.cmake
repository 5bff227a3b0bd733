# Compiles the help file from the pages of this folder in a work folder of its own, and fails on
# anything chmcmd warns about (a page or link it cannot find).
#   cmake -DSOURCE=<this folder> -DWORK=<work folder> -DCHMCMD=<chmcmd> -P BuildHelp.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(GLOB pages ${SOURCE}/*.html ${SOURCE}/*.css ${SOURCE}/*.hhc ${SOURCE}/*.hhk ${SOURCE}/*.hhp)
file(COPY ${pages} DESTINATION ${WORK})
execute_process(COMMAND ${CHMCMD} Ombrevane.hhp WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT EXISTS ${WORK}/Ombrevane.chm)
  message(FATAL_ERROR "chmcmd failed (${result}):\n${output}")
endif()
if(output MATCHES "(Warning|Error):")
  file(REMOVE ${WORK}/Ombrevane.chm)
  message(FATAL_ERROR "chmcmd found faults in the help pages:\n${output}")
endif()
