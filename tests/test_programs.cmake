# The unit test programs: their labels and their sources below tests/. The Linux test build
# (tests/CMakeLists.txt) and the Windows one (tests/windows/CMakeLists.txt) both read this table;
# each first defines add_test_program(name sources labels libraries) and builds what suits its host.
#
# Labels: every program here is `unit`; the `portable` ones need neither GL nor the headless
# backend, so the Windows build builds and runs them too. A program links the test support (on
# Linux) or the parsers and the file writers (on Windows), and the LIBRARIES it names.
#
# Sources are files or patterns. A pattern leaves out the files an earlier line took, so a folder's
# portable tests are named first and its other tests follow with the pattern.

function(test_program name)
    cmake_parse_arguments(PARSE_ARGV 1 program "" "" "LABELS;SOURCES;LIBRARIES")
    get_property(taken GLOBAL PROPERTY ORVALIS_TAKEN_TEST_SOURCES)
    set(sources "")
    foreach(source ${program_SOURCES})
        set(source ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/${source})
        if(source MATCHES "[*?]")
            file(GLOB matches CONFIGURE_DEPENDS ${source})
            list(REMOVE_ITEM matches ${taken})
            list(APPEND sources ${matches})
        else()
            list(APPEND sources ${source})
        endif()
    endforeach()
    set_property(GLOBAL APPEND PROPERTY ORVALIS_TAKEN_TEST_SOURCES ${sources})
    add_test_program(${name} "${sources}" "${program_LABELS}" "${program_LIBRARIES}")
endfunction()

test_program(test_app LABELS unit portable SOURCES app/argument_file_test.cpp LIBRARIES orvalis_app)
# With the PNG writer's frames, decoded back with stb_image.
test_program(test_app_gl LABELS unit SOURCES app/*.cpp LIBRARIES PkgConfig::STB)
test_program(test_view LABELS unit SOURCES view/*.cpp)
test_program(test_io LABELS unit portable SOURCES io/byte_cursor_test.cpp io/file_errors_test.cpp)
test_program(test_io_host LABELS unit SOURCES io/*.cpp)
test_program(test_text LABELS unit portable SOURCES text/*.cpp)
test_program(test_platform LABELS unit SOURCES platform/*.cpp)
test_program(test_texture LABELS unit portable
             SOURCES texture/bmp_reader_test.cpp texture/tga_reader_test.cpp
                     texture/texture_files.cpp)
test_program(test_texture_gl LABELS unit SOURCES texture/texture_files.cpp texture/*.cpp)
test_program(test_ground LABELS unit portable
             SOURCES ground/ground_file_test.cpp ground/ground_geometry_test.cpp
             LIBRARIES orvalis_ground)
test_program(test_ground_gl LABELS unit SOURCES ground/*.cpp)
test_program(test_model LABELS unit portable
             SOURCES model/model_animation_test.cpp model/model_bounds_test.cpp
                     model/model_reader_test.cpp
             LIBRARIES orvalis_model)
test_program(test_model_gl LABELS unit SOURCES model/*.cpp)
test_program(test_world LABELS unit portable SOURCES world/world_file_test.cpp)
test_program(test_world_gl LABELS unit SOURCES world/*.cpp)
# The tests of memory that runs out have a program of their own, whose operator new fails on
# request: every other program keeps the allocator that the sanitizers check.
test_program(test_memory LABELS unit SOURCES memory/*.cpp)
