# Builds the setup with makensis; tells the script whether the stage's config/ holds anything
# the release ships there (every file but the settings files *.ini).
#   cmake -DMAKENSIS=... -DSCRIPT=... -DVERSION=... -DSTAGE=... -DICON=... -DOUTFILE=...
#         -DCONTROLLER_HEADER=... -P BuildSetup.cmake
file(GLOB config_files LIST_DIRECTORIES false ${STAGE}/config/*)
list(FILTER config_files EXCLUDE REGEX "\\.[iI][nN][iI]$")
set(ship_config "")
if(config_files)
  set(ship_config -DSHIP_CONFIG)
endif()
execute_process(COMMAND ${MAKENSIS} -V2 -DVERSION=${VERSION} -DSTAGE=${STAGE} -DICON=${ICON}
    -DOUTFILE=${OUTFILE} -DCONTROLLER_HEADER=${CONTROLLER_HEADER} ${ship_config} ${SCRIPT}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "makensis failed (${result})")
endif()
