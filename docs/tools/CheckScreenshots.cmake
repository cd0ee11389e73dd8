# The manual's screenshots print readably: takes them afresh with pavrin-screens on a copy of an
# example project and fails when a picture is so wide that the manual's page shrinks its text below
# 7 points. The manuals print a picture at 120 of its pixels per inch on a body 6.34 in wide, and
# pavrin-screens renders the windows' text at the 10.5 points of the body text.
#
#   cmake -DSCREENS=<pavrin-screens> -DPROJECT=<example.pv3d> -DWORK=<scratch folder> -P CheckScreenshots.cmake
foreach(variable SCREENS PROJECT WORK)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "CheckScreenshots.cmake needs -D${variable}=...")
  endif()
endforeach()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/projects ${WORK}/runtime)
file(CHMOD ${WORK}/runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
file(COPY ${PROJECT} DESTINATION ${WORK}/projects)
get_filename_component(name ${PROJECT} NAME)
set(ENV{QT_QPA_PLATFORM} offscreen)
set(ENV{XDG_CONFIG_HOME} ${WORK}/config)
set(ENV{XDG_DATA_HOME} ${WORK}/data)
set(ENV{XDG_RUNTIME_DIR} ${WORK}/runtime)
execute_process(COMMAND ${SCREENS} ${WORK}/projects/${name} ${WORK}/screens TIMEOUT 300
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "pavrin-screens failed: ${result}")
endif()

set(body_pixels 761) # 6.34 in at 120 pixels per inch
set(body_points 10.5)
set(least_points 7)
math(EXPR widest "${body_pixels} * 105 / (${least_points} * 10)")
file(GLOB pictures ${WORK}/screens/*.png)
list(LENGTH pictures count)
if(count LESS 10)
  message(FATAL_ERROR "pavrin-screens made ${count} pictures, expected at least 10")
endif()
set(failures 0)
foreach(picture ${pictures})
  # The PNG header: the width is the big-endian 32-bit number at byte 16.
  file(READ ${picture} header OFFSET 16 LIMIT 4 HEX)
  math(EXPR width "0x${header}")
  get_filename_component(shown ${picture} NAME)
  if(width GREATER widest)
    message(SEND_ERROR "${shown}: ${width} pixels wide; the page would print its text below ${least_points} pt")
    math(EXPR failures "${failures} + 1")
  else()
    message(STATUS "${shown}: ${width} pixels wide")
  endif()
endforeach()
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} screenshots print too small")
endif()
