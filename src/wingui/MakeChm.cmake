# SPDX-License-Identifier: GPL-3.0-or-later
# Compiles the help topics into quellmark.chm with chmcmd: a project listing every file and a
# table of contents of the topics, each under the title of its page.
# Run as: cmake -DCHMCMD=... -DTOPICS_DIR=... -DWORK_DIR=... -DOUTPUT=... -P MakeChm.cmake
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
file(GLOB files RELATIVE ${TOPICS_DIR} ${TOPICS_DIR}/*)
list(SORT files)
set(project "[OPTIONS]\nCompiled file=quellmark.chm\nContents file=quellmark.hhc\nDefault topic=index.htm\n")
string(APPEND project "Title=Halvex Quellmark 2005\n\n[FILES]\n")
set(contents "<html><body><ul>\n")
foreach(name ${files})
  file(COPY ${TOPICS_DIR}/${name} DESTINATION ${WORK_DIR})
  string(APPEND project "${name}\n")
  if(name MATCHES "\\.htm$")
    file(READ ${TOPICS_DIR}/${name} page)
    string(REGEX MATCH "<title>([^<]*)</title>" ignored "${page}")
    set(title "${CMAKE_MATCH_1}")
    if(title STREQUAL "")
      set(title "${name}")
    endif()
    string(APPEND contents "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"${title}\">"
      "<param name=\"Local\" value=\"${name}\"></object>\n")
  endif()
endforeach()
string(APPEND contents "</ul></body></html>\n")
file(WRITE ${WORK_DIR}/quellmark.hhp "${project}")
file(WRITE ${WORK_DIR}/quellmark.hhc "${contents}")
execute_process(COMMAND ${CHMCMD} quellmark.hhp WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE status
  OUTPUT_QUIET)
if(NOT status EQUAL 0 OR NOT EXISTS ${WORK_DIR}/quellmark.chm)
  message(FATAL_ERROR "chmcmd could not compile the help")
endif()
file(COPY_FILE ${WORK_DIR}/quellmark.chm ${OUTPUT})
