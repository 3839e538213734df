# cmake -DPYTHON=... -DSOURCE_DIR=... -DOUT_DIR=... -P CheckEditPanelResources.cmake
# Runs the edit-panel generator into OUT_DIR and fails when a committed file
# it writes (the two documents, the type header, the pictures) differs from
# what it writes now.
file(REMOVE_RECURSE ${OUT_DIR})
file(MAKE_DIRECTORY ${OUT_DIR})
execute_process(COMMAND ${PYTHON} ${SOURCE_DIR}/scripts/edit-panel-resources.py --out ${OUT_DIR}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "scripts/edit-panel-resources.py failed (${result})")
endif()
file(GLOB pictures RELATIVE ${OUT_DIR} ${OUT_DIR}/*.png)
if(NOT pictures)
  message(FATAL_ERROR "scripts/edit-panel-resources.py wrote no pictures to ${OUT_DIR}")
endif()
set(committed Resources/Xml/APP_SKINS.xml Resources/Xml/APP_STRINGS.xml UI/EditPanels/EditPanelTypes.h)
foreach(picture ${pictures})
  list(APPEND committed Resources/Images/${picture})
endforeach()
foreach(path ${committed})
  get_filename_component(name ${path} NAME)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${SOURCE_DIR}/${path} ${OUT_DIR}/${name}
                  RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "${path} is not what scripts/edit-panel-resources.py writes "
                        "(it is in ${OUT_DIR}/${name}): run the script and commit what it wrote")
  endif()
endforeach()
