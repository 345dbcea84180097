# cmake -DINPUT=file -DOUTPUT=file -DSIZE=n [-DPROGRAM=file] -P PadTemplate.cmake
# Pads a player program with zero bytes to exactly SIZE bytes: cards carry their movie at
# that offset, so the template must be neither shorter nor longer.
file(SIZE "${INPUT}" _size)
if(_size GREATER SIZE)
    message(FATAL_ERROR "${INPUT} is ${_size} bytes, more than the movie offset ${SIZE}: "
                        "make the player smaller or raise VELMORA_MOVIE_OFFSET")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E copy "${INPUT}" "${OUTPUT}.part" RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "cannot copy ${INPUT}")
endif()
execute_process(COMMAND truncate -s ${SIZE} "${OUTPUT}.part" RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "cannot pad ${OUTPUT}")
endif()
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
# The same bytes as a program of its own: the player as cards carry it, which plays the movie
# its command line names.
if(PROGRAM)
    file(COPY_FILE "${OUTPUT}" "${PROGRAM}.part")
    file(CHMOD "${PROGRAM}.part" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
         GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    file(RENAME "${PROGRAM}.part" "${PROGRAM}")
endif()
