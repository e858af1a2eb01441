# corvane_library(<target> [QT <Qt components...>] [DEPS <targets...>] [EXCLUDE <file names...>])
# One static library per source folder: every .cpp/.h directly in the folder belongs to it,
# so adding a file needs no edit here.
function(corvane_library target)
  cmake_parse_arguments(ARG "" "" "QT;DEPS;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "/${ex}$")
  endforeach()
  set(qtlibs)
  foreach(comp IN LISTS ARG_QT)
    list(APPEND qtlibs Qt6::${comp})
  endforeach()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${target} PUBLIC ${qtlibs} ${ARG_DEPS})
  set_target_properties(${target} PROPERTIES LINKER_LANGUAGE CXX)
endfunction()
