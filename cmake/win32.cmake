# The Windows build: the executable, its resources, the Win32 test tier and the e2e tier.
enable_language(RC)
add_compile_definitions(UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601
                        _WIN32_IE=0x0800)
add_compile_options(-municode)
# Everything the runtime needs is linked in: the executable must load on a bare Windows.
add_link_options(-municode -static -static-libgcc -static-libstdc++)

set(TNVEXA_SYSTEM_LIBS gdiplus wininet shlwapi comctl32 ole32 oleaut32 uuid shell32 user32 gdi32 advapi32
    winmm msimg32 version userenv bcrypt)

# Libraries that are not known system libraries are imported late: Windows would look for them in
# the executable's folder (a download folder) before anything of the program runs. They load on
# first use from the system folder (base/library_load_win.cpp). Add a library here to import it late.
set(TNVEXA_DELAY_LOAD_LIBS gdiplus wininet winmm msimg32 userenv version bcrypt)
list(REMOVE_ITEM TNVEXA_SYSTEM_LIBS ${TNVEXA_DELAY_LOAD_LIBS})
set(TNVEXA_DELAY_IMPORT_LIBS)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/delay)
foreach(lib IN LISTS TNVEXA_DELAY_LOAD_LIBS)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=lib${lib}.a
                    OUTPUT_VARIABLE import_lib OUTPUT_STRIP_TRAILING_WHITESPACE)
    set(delay_lib ${CMAKE_BINARY_DIR}/delay/lib${lib}_delay.a)
    # The exports' names are read from the toolchain's import library.
    add_custom_command(OUTPUT ${delay_lib}
        COMMAND ${CMAKE_COMMAND} -DNM=${TNVEXA_TRIPLE}-nm -DIMPORT_LIB=${import_lib} -DDLL=${lib}.dll
                -DDEF=${CMAKE_BINARY_DIR}/delay/${lib}.def -P ${PROJECT_SOURCE_DIR}/cmake/delay_def.cmake
        COMMAND ${TNVEXA_TRIPLE}-dlltool -d ${CMAKE_BINARY_DIR}/delay/${lib}.def -D ${lib}.dll
                --output-delaylib ${delay_lib}
        DEPENDS ${import_lib} ${PROJECT_SOURCE_DIR}/cmake/delay_def.cmake VERBATIM)
    list(APPEND TNVEXA_DELAY_IMPORT_LIBS ${delay_lib})
endforeach()
add_custom_target(tnvexa_delay_libs DEPENDS ${TNVEXA_DELAY_IMPORT_LIBS})

# The test switches are read in one file, built with them only beside the tests: a build for
# players (TNVEXA_TESTS OFF) has no code that reads them. Nothing else depends on the setting, so
# the test build also links a copy of the executable with that file built as for players.
set(TNVEXA_SWITCH_SOURCE ${PROJECT_SOURCE_DIR}/src/fw/test_switch_win.cpp)
list(REMOVE_ITEM TNVEXA_WIN_SOURCES ${TNVEXA_SWITCH_SOURCE})
function(tnvexa_switch_object name enabled)
    add_library(${name} OBJECT ${TNVEXA_SWITCH_SOURCE})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_compile_definitions(${name} PRIVATE TNVEXA_TEST_SWITCHES=${enabled})
    target_link_libraries(${name} PRIVATE tnvexa_warnings)
endfunction()
if(TNVEXA_TESTS)
    tnvexa_switch_object(tnvexa_switches 1)
else()
    tnvexa_switch_object(tnvexa_switches 0)
endif()

add_library(tnvexa_win STATIC ${TNVEXA_WIN_SOURCES} $<TARGET_OBJECTS:tnvexa_switches>)
add_dependencies(tnvexa_win tnvexa_delay_libs)
target_include_directories(tnvexa_win PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/res)
# The product imports them late; the Win32 tests import them as usual, since some of them check
# how other modules reach those libraries' functions through import tables.
target_link_libraries(tnvexa_win PUBLIC tnvexa_core ${TNVEXA_SYSTEM_LIBS}
    "$<IF:$<IN_LIST:$<TARGET_PROPERTY:NAME>,TnVexa;TnVexaNoTestSwitches>,${TNVEXA_DELAY_IMPORT_LIBS},${TNVEXA_DELAY_LOAD_LIBS}>"
    delayimp PRIVATE tnvexa_warnings)
# Nearly every Win32 source includes <windows.h>: parse it once.
target_precompile_headers(tnvexa_win PRIVATE ${PROJECT_SOURCE_DIR}/cmake/system_headers_win.h)

# Resources are compiled once and linked into the product and into every Win32 test, so that
# tests load the same templates and images as the player gets.
add_library(tnvexa_res OBJECT ${PROJECT_SOURCE_DIR}/res/TnVexa.rc)
configure_file(${PROJECT_SOURCE_DIR}/res/TnVexa.manifest.in ${TNVEXA_GENERATED_DIR}/TnVexa.manifest @ONLY)
target_include_directories(tnvexa_res PRIVATE ${PROJECT_SOURCE_DIR}/res ${PROJECT_SOURCE_DIR}/src
                           ${TNVEXA_GENERATED_DIR})
set_property(SOURCE ${PROJECT_SOURCE_DIR}/res/TnVexa.rc APPEND PROPERTY OBJECT_DEPENDS
             ${TNVEXA_GENERATED_DIR}/TnVexa.manifest ${TNVEXA_GENERATED_DIR}/base/version.h)
file(GLOB TNVEXA_RES_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/res/*.rc ${PROJECT_SOURCE_DIR}/res/*.h
     ${PROJECT_SOURCE_DIR}/res/skin/*.png ${PROJECT_SOURCE_DIR}/res/*.ico)
set_property(SOURCE ${PROJECT_SOURCE_DIR}/res/TnVexa.rc APPEND PROPERTY OBJECT_DEPENDS ${TNVEXA_RES_FILES})

add_executable(TnVexa WIN32 ${PROJECT_SOURCE_DIR}/src/app/main_win.cpp $<TARGET_OBJECTS:tnvexa_res>)
target_link_libraries(TnVexa PRIVATE tnvexa_win tnvexa_warnings)

if(TNVEXA_TESTS)
    # The program as a build for players reads its switches: its own object defines the reading
    # function, so the linker takes nothing of it from tnvexa_win's archive.
    tnvexa_switch_object(tnvexa_no_switches 0)
    add_executable(TnVexaNoTestSwitches WIN32 ${PROJECT_SOURCE_DIR}/src/app/main_win.cpp
                   $<TARGET_OBJECTS:tnvexa_res> $<TARGET_OBJECTS:tnvexa_no_switches>)
    target_link_libraries(TnVexaNoTestSwitches PRIVATE tnvexa_win tnvexa_warnings)
    # The debug information moves into NAME.exe.debug beside the program (for gdb's
    # "symbol-file"), as players get the program without it. Wine's loader reads every section
    # of an image into memory, the debug ones included: kept inside, its 18 MB would be read by
    # every start of every process of the program (the main window waits for a page process's).
    foreach(exe IN ITEMS TnVexa TnVexaNoTestSwitches)
        add_custom_command(TARGET ${exe} POST_BUILD
            COMMAND ${TNVEXA_TRIPLE}-objcopy --only-keep-debug $<TARGET_FILE:${exe}> $<TARGET_FILE:${exe}>.debug
            COMMAND ${TNVEXA_TRIPLE}-objcopy --strip-debug $<TARGET_FILE:${exe}>
            VERBATIM)
    endforeach()
    add_subdirectory(tests/win)
    add_subdirectory(tests/e2e)
endif()
