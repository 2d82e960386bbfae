# The sources of avg_core, listed once for the main build and the fuzz build: app (all but
# main.cpp), input, stage, media, script, save, graphics, audio and base, with the platform
# interfaces' helpers (platform/*.cpp).
file(GLOB_RECURSE AVG_CORE_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_LIST_DIR}/app/*.cpp ${CMAKE_CURRENT_LIST_DIR}/input/*.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stage/*.cpp ${CMAKE_CURRENT_LIST_DIR}/media/*.cpp
  ${CMAKE_CURRENT_LIST_DIR}/script/*.cpp ${CMAKE_CURRENT_LIST_DIR}/save/*.cpp
  ${CMAKE_CURRENT_LIST_DIR}/graphics/*.cpp ${CMAKE_CURRENT_LIST_DIR}/audio/*.cpp
  ${CMAKE_CURRENT_LIST_DIR}/base/*.cpp)
file(GLOB AVG_PLATFORM_COMMON_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/platform/*.cpp)
list(FILTER AVG_CORE_SOURCES EXCLUDE REGEX ".*/app/main\\.cpp$")
list(APPEND AVG_CORE_SOURCES ${AVG_PLATFORM_COMMON_SOURCES})
# The AVX2 blends are built for AVX2 and only called when the processor has it.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64")
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/graphics/blend_avx2.cpp
    PROPERTIES COMPILE_OPTIONS -mavx2)
endif()
