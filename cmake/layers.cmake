# The layers of src/ as libraries, so that the build keeps the map of docs/architecture.md: every
# folder of src/ is a static library, orvalis_<folder>, that links only the layers it uses.
#
# A source names a header by its folder ("ground/ground.h"). A library's include path holds no
# src/: each folder is a folder of its own in the build (include/<folder>/<folder>, a link to
# src/<folder>), which the folder's library carries to whoever links it. A library therefore sees
# its own folder and those of the layers it links, and theirs in turn; a header of any other
# folder, one beside it or above it, is "No such file" and fails the build.
#
# The parsers and the image decoders of a folder, and view's vector math, are a library of their
# own, orvalis_<folder>_parsing, which sees only its folder, io, text and the parsing libraries it
# links: no platform, so no GL. orvalis_parsing gathers them with io and text: the library of the programs
# that read files without drawing.

set(LAYER_INCLUDE_ROOT ${CMAKE_BINARY_DIR}/include)

# orvalis_<folder>_headers: the folder's headers alone, without the code behind them.
function(layer_headers folder)
    set(include_folder ${LAYER_INCLUDE_ROOT}/${folder})
    file(MAKE_DIRECTORY ${include_folder})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${folder} ${include_folder}/${folder} SYMBOLIC)
    add_library(orvalis_${folder}_headers INTERFACE)
    target_include_directories(orvalis_${folder}_headers INTERFACE ${include_folder})
endfunction()

# orvalis_<folder>_parsing: SOURCES of the folder that parse or decode bytes, linking the GL-free
# libraries in USES.
function(layer_parsers folder)
    cmake_parse_arguments(PARSE_ARGV 1 part "" "" "SOURCES;USES")
    list(TRANSFORM part_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/src/${folder}/)
    add_library(orvalis_${folder}_parsing STATIC ${part_SOURCES})
    target_link_libraries(orvalis_${folder}_parsing PUBLIC orvalis_${folder}_headers ${part_USES})
    set_property(GLOBAL APPEND PROPERTY ORVALIS_PARSING_SOURCES ${part_SOURCES})
    set_property(GLOBAL APPEND PROPERTY ORVALIS_PARSING_PARTS orvalis_${folder}_parsing)
endfunction()

# orvalis_<folder>: every source of the folder but its parsers (which it links) and those in
# EXCLUDED, linking the layers it USES.
function(layer folder)
    cmake_parse_arguments(PARSE_ARGV 1 layer "" "" "USES;EXCLUDED")
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.cpp)
    get_property(parsing_sources GLOBAL PROPERTY ORVALIS_PARSING_SOURCES)
    list(TRANSFORM layer_EXCLUDED PREPEND ${CMAKE_SOURCE_DIR}/src/${folder}/)
    list(REMOVE_ITEM sources ${parsing_sources} ${layer_EXCLUDED})
    add_library(orvalis_${folder} STATIC ${sources})
    list(TRANSFORM layer_USES PREPEND orvalis_)
    target_link_libraries(orvalis_${folder} PUBLIC orvalis_${folder}_headers ${layer_USES})
    if(TARGET orvalis_${folder}_parsing)
        target_link_libraries(orvalis_${folder} PUBLIC orvalis_${folder}_parsing)
    endif()
endfunction()

foreach(folder text io platform view texture ground model world app)
    layer_headers(${folder})
endforeach()

# The vector math of the records: the places in a world, a model's transforms and bounds.
layer_parsers(view SOURCES vector3.cpp transform.cpp)
layer_parsers(texture SOURCES bmp_reader.cpp tga_reader.cpp USES orvalis_io)
layer_parsers(ground SOURCES ground_file.cpp USES orvalis_io)
layer_parsers(model SOURCES model_file.cpp USES orvalis_view_parsing orvalis_io)
layer_parsers(world SOURCES world_file.cpp USES orvalis_view_parsing orvalis_io)
layer_parsers(app SOURCES argument_file.cpp USES orvalis_io)

# Lowest first.
layer(text)
layer(io USES text)
layer(platform USES text EXCLUDED ${OTHER_HOSTS_BACKENDS})
target_link_libraries(orvalis_platform PUBLIC ${PLATFORM_LIBRARIES})
layer(view USES platform)
layer(texture USES io platform)
layer(ground USES texture view io platform)
layer(model USES texture view io platform)
layer(world USES ground model texture view io platform)
layer(app USES world ground model texture view io platform text EXCLUDED main.cpp
               ${APP_EXCLUDED})

add_library(orvalis_parsing INTERFACE)
get_property(parsing_parts GLOBAL PROPERTY ORVALIS_PARSING_PARTS)
target_link_libraries(orvalis_parsing INTERFACE ${parsing_parts} orvalis_io orvalis_text)
