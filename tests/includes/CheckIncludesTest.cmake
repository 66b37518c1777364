# Runs the include-rule checker (host/cmake/CheckIncludes.cmake) on the small trees under fixture/ and
# checks that it reports exactly the includes that break the rules, and passes a tree that keeps them.
# Arguments: CHECKER (the checker script).
cmake_minimum_required(VERSION 3.24)
set(fixture "${CMAKE_CURRENT_LIST_DIR}/fixture")

function(run_checker out_rc out_text)
  execute_process(COMMAND ${CMAKE_COMMAND} ${ARGN} -P "${CHECKER}" RESULT_VARIABLE rc OUTPUT_VARIABLE o
                  ERROR_VARIABLE e)
  set(${out_rc} "${rc}" PARENT_SCOPE)
  set(${out_text} "${o}${e}" PARENT_SCOPE)
endfunction()

function(expect_lines text)
  foreach(line IN LISTS ARGN)
    string(FIND "${text}" "${line}" at)
    if(at LESS 0)
      message(FATAL_ERROR "expected the line\n  ${line}\nin the checker's output:\n${text}")
    endif()
  endforeach()
endfunction()

# Layers: graph sits on foundation, view on graph. Foundation includes graph (a header and a class graph
# defines) and graph includes view; the rest is allowed.
run_checker(rc text -DMODE=layers "-DHOST_DIR=${fixture}/host"
            "-DLAYERS=foundation:|graph:foundation|view:graph,foundation")
if(rc EQUAL 0)
  message(FATAL_ERROR "the layer check passed a tree that breaks the rule:\n${text}")
endif()
expect_lines("${text}"
  "src/foundation/Low.cpp:3: graph/High.h - the foundation layer may not include the graph layer"
  "src/foundation/Low.cpp:4: <maya/MHigh.h> - declares the graph layer's API, above the foundation layer"
  "src/graph/High.cpp:3: view/Top.h - the graph layer may not include the view layer"
  "3 include(s) break the layers include rule")

# The same tree passes when the layers may use each other.
run_checker(rc text -DMODE=layers "-DHOST_DIR=${fixture}/host"
            "-DLAYERS=foundation:graph,view|graph:foundation,view|view:graph,foundation")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the layer check failed a tree that keeps the rule:\n${text}")
endif()

# The plug-in: its own headers, the API, platform, GL and standard headers pass; host internals, the
# API's detail headers, system headers and missing own headers do not.
run_checker(rc text -DMODE=plugin "-DROOT=${fixture}" -DFOLDERS=plugin,quaddraw)
if(rc EQUAL 0)
  message(FATAL_ERROR "the plug-in check passed a tree that breaks the rule:\n${text}")
endif()
expect_lines("${text}"
  "plugin/tool.cpp:7: graph/core/Scene.h - a plug-in source includes only"
  "plugin/tool.cpp:8: maya/detail/ArrayStore.h - the host's own detail, not part of the API"
  "plugin/tool.cpp:9: dlfcn.h - a plug-in source includes only"
  "plugin/tool.cpp:10: plugin/missing.h - a plug-in source includes only"
  "4 include(s) break the plugin include rule")
message(STATUS "the include checks report what breaks the rules and pass what keeps them")
