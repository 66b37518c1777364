# Include rules, checked by scanning the #include lines of the sources (run by ctest: cmake -P).
#
# MODE=layers: the host's layers. A file under src/<folder>/ may include headers of its own folder and of
#   the layers it links (LAYERS, written "folder:dep,dep|folder:..." from the link graph in
#   host/CMakeLists.txt), never of a layer above. A public header <maya/MFoo.h> belongs to the lowest
#   layer whose sources define members of MFoo (header-only ones to foundation), and follows the same
#   rule. The public headers (include/) include no layer's internals. Arguments: HOST_DIR, LAYERS.
# MODE=plugin: the plug-in's sources (FOLDERS, comma separated, under ROOT) include only the host's public
#   API (<maya/...>, not <maya/detail/...>), the platform headers (those under host/include/platform:
#   <windows.h>, <wininet.h>, ...), OpenGL (<GL/gl.h>, <GL/glu.h>), the C++ standard library and the
#   plug-in's own headers
#   ("folder/file.h" of one of FOLDERS) - never host internals.
#
# Every violation is printed as "<file>:<line>: <include> - <why>"; any violation fails the run.

cmake_minimum_required(VERSION 3.24)

set(violations "")
macro(report file line text why)
  list(APPEND violations "${file}:${line}: ${text} - ${why}")
endmacro()

# Reads the #include lines of a file into <out>, each "<line number>|<target>|<quoted 0/1>".
function(read_includes file out)
  file(STRINGS "${file}" lines)
  set(result "")
  set(n 0)
  foreach(l IN LISTS lines)
    math(EXPR n "${n} + 1")
    if(l MATCHES "^[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"]+)[>\"]")
      set(q 0)
      if(CMAKE_MATCH_1 STREQUAL "\"")
        set(q 1)
      endif()
      list(APPEND result "${n}|${CMAKE_MATCH_2}|${q}")
    endif()
  endforeach()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

# Sets line, target and quoted from one entry of read_includes.
macro(unpack_include entry)
  string(REPLACE "|" ";" _parts "${entry}")
  list(GET _parts 0 line)
  list(GET _parts 1 target)
  list(GET _parts 2 quoted)
endmacro()

function(sources_of dir out)
  file(GLOB_RECURSE files "${dir}/*.h" "${dir}/*.hpp" "${dir}/*.cpp" "${dir}/*.c")
  list(SORT files)
  set(${out} "${files}" PARENT_SCOPE)
endfunction()

if(MODE STREQUAL "layers")
  if(NOT HOST_DIR OR NOT LAYERS)
    message(FATAL_ERROR "CheckIncludes: MODE=layers needs HOST_DIR and LAYERS")
  endif()
  # The layers, lowest first, as host/CMakeLists.txt declares them, each with the layers it may use.
  string(REPLACE "|" ";" layer_entries "${LAYERS}")
  set(layer_names "")
  foreach(layer_entry IN LISTS layer_entries)
    string(REPLACE ":" ";" parts "${layer_entry}")
    list(GET parts 0 name)
    list(LENGTH parts np)
    set(deps "")
    if(np GREATER 1)
      list(GET parts 1 deps)
      string(REPLACE "," ";" deps "${deps}")
    endif()
    list(APPEND layer_names ${name})
    set(allowed_${name} ${name} ${deps})
  endforeach()

  # Which layer each public API class belongs to: the first layer (lowest first) whose sources define one
  # of its members at namespace level ("MStatus MFoo::bar(", "MFoo::MFoo(").
  set(def_regex "^[A-Za-z_][^(=;]*M[A-Za-z0-9_]*::~?[A-Za-z_][A-Za-z0-9_]*[ \t]*\\(")
  foreach(name IN LISTS layer_names)
    sources_of("${HOST_DIR}/src/${name}" files)
    foreach(f IN LISTS files)
      if(NOT f MATCHES "\\.(cpp|c)$")
        continue()
      endif()
      file(STRINGS "${f}" defs REGEX "${def_regex}")
      foreach(d IN LISTS defs)
        string(FIND "${d}" "(" paren)
        string(SUBSTRING "${d}" 0 ${paren} head)
        if(head MATCHES "(^|[^A-Za-z0-9_])(M[A-Za-z0-9_]*)::~?[A-Za-z_][A-Za-z0-9_]*[ \t]*$")
          set(cls "${CMAKE_MATCH_2}")
          if(NOT DEFINED owner_${cls})
            set(owner_${cls} ${name})
          endif()
        endif()
      endforeach()
    endforeach()
  endforeach()

  foreach(name IN LISTS layer_names)
    sources_of("${HOST_DIR}/src/${name}" files)
    foreach(f IN LISTS files)
      file(RELATIVE_PATH rel "${HOST_DIR}" "${f}")
      read_includes("${f}" incs)
      foreach(inc IN LISTS incs)
        unpack_include("${inc}")
        if(target MATCHES "^([A-Za-z0-9_]+)/")
          set(top "${CMAKE_MATCH_1}")
          if(top IN_LIST layer_names)
            if(NOT top IN_LIST allowed_${name})
              report("${rel}" ${line} "${target}" "the ${name} layer may not include the ${top} layer")
            endif()
          elseif(top STREQUAL "maya")
            set(owner foundation)
            if(target MATCHES "^maya/(M[A-Za-z0-9_]*)\\.h$")
              set(cls "${CMAKE_MATCH_1}")
              if(DEFINED owner_${cls})
                set(owner ${owner_${cls}})
              endif()
            endif()
            if(NOT owner IN_LIST allowed_${name})
              report("${rel}" ${line} "<${target}>"
                     "declares the ${owner} layer's API, above the ${name} layer")
            endif()
          endif()
        endif()
      endforeach()
    endforeach()
  endforeach()

  # The public headers stand for the SDK's: they include each other and the standard library, never a
  # layer's internals.
  sources_of("${HOST_DIR}/include" files)
  foreach(f IN LISTS files)
    file(RELATIVE_PATH rel "${HOST_DIR}" "${f}")
    read_includes("${f}" incs)
    foreach(inc IN LISTS incs)
      unpack_include("${inc}")
      if(target MATCHES "^([A-Za-z0-9_]+)/" AND CMAKE_MATCH_1 IN_LIST layer_names)
        report("${rel}" ${line} "${target}" "a public header may not include a layer's internals")
      endif()
    endforeach()
  endforeach()

elseif(MODE STREQUAL "plugin")
  if(NOT ROOT OR NOT FOLDERS)
    message(FATAL_ERROR "CheckIncludes: MODE=plugin needs ROOT and FOLDERS")
  endif()
  string(REPLACE "," ";" folders "${FOLDERS}")
  # The C++17 standard library and the C headers it carries.
  set(std_headers
      algorithm any array atomic bitset cassert cctype cerrno cfenv cfloat charconv chrono cinttypes climits
      clocale cmath codecvt complex condition_variable csetjmp csignal cstdarg cstddef cstdint cstdio cstdlib
      cstring ctime cuchar cwchar cwctype deque exception execution filesystem forward_list fstream functional
      future initializer_list iomanip ios iosfwd iostream istream iterator limits list locale map memory
      memory_resource mutex new numeric optional ostream queue random ratio regex scoped_allocator set
      shared_mutex sstream stack stdexcept streambuf string string_view system_error thread tuple type_traits
      typeindex typeinfo unordered_map unordered_set utility valarray variant vector)
  # The platform headers are the host's stand-ins (host/include/platform), plus OpenGL.
  set(platform_dir "${ROOT}/host/include/platform")
  file(GLOB_RECURSE platform_headers RELATIVE "${platform_dir}" "${platform_dir}/*.h")
  list(APPEND platform_headers GL/gl.h GL/glu.h)
  set(any_found FALSE)
  foreach(folder IN LISTS folders)
    if(NOT IS_DIRECTORY "${ROOT}/${folder}")
      continue()
    endif()
    set(any_found TRUE)
    sources_of("${ROOT}/${folder}" files)
    foreach(f IN LISTS files)
      file(RELATIVE_PATH rel "${ROOT}" "${f}")
      get_filename_component(fdir "${f}" DIRECTORY)
      read_includes("${f}" incs)
      foreach(inc IN LISTS incs)
        unpack_include("${inc}")
        set(ok FALSE)
        if(target MATCHES "^maya/detail/")
          report("${rel}" ${line} "${target}" "the host's own detail, not part of the API")
          continue()
        elseif(target MATCHES "^maya/M[A-Za-z0-9_]*\\.h$" AND NOT quoted)
          set(ok TRUE)
        elseif(target IN_LIST platform_headers AND NOT quoted)
          set(ok TRUE)
        elseif(target IN_LIST std_headers AND NOT quoted)
          set(ok TRUE)
        elseif(quoted AND target MATCHES "^([A-Za-z0-9_]+)/[^/]+$" AND CMAKE_MATCH_1 IN_LIST folders
               AND EXISTS "${ROOT}/${target}")
          set(ok TRUE)
        elseif(quoted AND NOT target MATCHES "/" AND EXISTS "${fdir}/${target}")
          set(ok TRUE)
        endif()
        if(NOT ok)
          report("${rel}" ${line} "${target}"
                 "a plug-in source includes only <maya/...>, platform, GL, standard and its own headers")
        endif()
      endforeach()
    endforeach()
  endforeach()
  if(NOT any_found)
    message(FATAL_ERROR "CheckIncludes: none of the folders ${FOLDERS} exists under ${ROOT}")
  endif()
else()
  message(FATAL_ERROR "CheckIncludes: MODE must be layers or plugin")
endif()

list(LENGTH violations count)
if(count GREATER 0)
  foreach(v IN LISTS violations)
    message("${v}")
  endforeach()
  message(FATAL_ERROR "${count} include(s) break the ${MODE} include rule")
endif()
message(STATUS "include rule (${MODE}): no violations")
