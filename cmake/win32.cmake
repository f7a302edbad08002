# The Windows build: the executable, its resources, the Win32 test tier and the e2e tier.
enable_language(RC)
add_compile_definitions(UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601
                        _WIN32_IE=0x0800)
add_compile_options(-municode)
# Everything the runtime needs is linked in: the executable must load on a bare Windows.
add_link_options(-municode -static -static-libgcc -static-libstdc++)

set(TNVEXA_SYSTEM_LIBS gdiplus wininet shlwapi comctl32 ole32 oleaut32 uuid shell32 user32 gdi32 advapi32
    winmm msimg32 version userenv bcrypt)

add_library(tnvexa_win STATIC ${TNVEXA_WIN_SOURCES})
target_include_directories(tnvexa_win PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/res)
target_link_libraries(tnvexa_win PUBLIC tnvexa_core ${TNVEXA_SYSTEM_LIBS} PRIVATE tnvexa_warnings)

# Resources are compiled once and linked into the product and into every Win32 test, so that
# tests load the same templates and images as the player gets.
add_library(tnvexa_res OBJECT ${PROJECT_SOURCE_DIR}/res/TnVexa.rc)
target_include_directories(tnvexa_res PRIVATE ${PROJECT_SOURCE_DIR}/res ${PROJECT_SOURCE_DIR}/src)
set_property(SOURCE ${PROJECT_SOURCE_DIR}/res/TnVexa.rc APPEND PROPERTY OBJECT_DEPENDS
             ${PROJECT_SOURCE_DIR}/res/TnVexa.manifest)
file(GLOB TNVEXA_RES_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/res/*.rc ${PROJECT_SOURCE_DIR}/res/*.h
     ${PROJECT_SOURCE_DIR}/res/skin/*.png ${PROJECT_SOURCE_DIR}/res/*.ico)
set_property(SOURCE ${PROJECT_SOURCE_DIR}/res/TnVexa.rc APPEND PROPERTY OBJECT_DEPENDS ${TNVEXA_RES_FILES})

add_executable(TnVexa WIN32 ${PROJECT_SOURCE_DIR}/src/app/main_win.cpp $<TARGET_OBJECTS:tnvexa_res>)
target_link_libraries(TnVexa PRIVATE tnvexa_win tnvexa_warnings)

if(TNVEXA_TESTS)
    add_subdirectory(tests/win)
    add_subdirectory(tests/e2e)
endif()
