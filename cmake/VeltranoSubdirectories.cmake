# Adds every direct subdirectory of the current source dir that has a CMakeLists.txt,
# so that each room keeps its own build file.
function(veltrano_add_subdirectories)
    file(GLOB _children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
    list(SORT _children)
    foreach(_c ${_children})
        if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${_c} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_c}/CMakeLists.txt)
            add_subdirectory(${_c})
        endif()
    endforeach()
endfunction()
