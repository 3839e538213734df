# cmake -DPYTHON=... -DSOURCE_DIR=... -DOUT_DIR=... -P CheckEditPanelResources.cmake
# Runs the edit-panel generator into OUT_DIR and fails when a committed
# document differs from what it writes.
file(REMOVE_RECURSE ${OUT_DIR})
file(MAKE_DIRECTORY ${OUT_DIR})
execute_process(COMMAND ${PYTHON} ${SOURCE_DIR}/scripts/edit-panel-resources.py --out ${OUT_DIR}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "scripts/edit-panel-resources.py failed (${result})")
endif()
foreach(name APP_SKINS.xml APP_STRINGS.xml)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${SOURCE_DIR}/Resources/Xml/${name} ${OUT_DIR}/${name}
                  RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "Resources/Xml/${name} is not what scripts/edit-panel-resources.py writes "
                        "(it is in ${OUT_DIR}/${name}): run the script and commit both files")
  endif()
endforeach()
