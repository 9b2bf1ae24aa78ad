# Warnings and sanitizers for every target of the project.
add_compile_options(-Wall -Wextra -pedantic)

if(HALLWIRE_SANITIZE)
  message(STATUS "Sanitizers: ${HALLWIRE_SANITIZE}")
  add_compile_options(-fsanitize=${HALLWIRE_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${HALLWIRE_SANITIZE})
endif()

set(CMAKE_AUTOMOC_MOC_OPTIONS "")

# A layer library; an INTERFACE placeholder while the layer has no sources yet.
function(hallwire_library name)
  set(srcs ${ARGN})
  list(FILTER srcs INCLUDE REGEX "\\.cpp$")
  if(srcs)
    add_library(${name} STATIC ${ARGN})
    set(HW_LIB_KIND PUBLIC PARENT_SCOPE)
  else()
    add_library(${name} INTERFACE)
    set(HW_LIB_KIND INTERFACE PARENT_SCOPE)
  endif()
endfunction()
