# Files scripts load into clips and levels: arbitrary bytes as a picture or a second movie,
# played inside a fixed first movie.
if(TARGET mc_stage AND TARGET moviemaker)
    velmora_fuzz(fuzz_movie_load
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_movie_load.cpp
        LIBS mc_stage moviemaker)
endif()
