# The checks around the tests of the programs (tests/CMakeLists.txt), in the build without
# sanitizers only: memcheck, the instruction count, scripts/run, the Debian package, the sources'
# static checks, and the Windows and web builds' tests.
if(TRIANGLES_SANITIZE)
  return()
endif()

# A whole run in the real window, a whole export and the font tests under valgrind's memcheck: no
# error, no definite leak of ours, and SDL_ttf never let write outside the image it renders into.
find_program(VALGRIND valgrind)
if(VALGRIND)
  set(MEMCHECK ${VALGRIND} --quiet --error-exitcode=99 --leak-check=full
      --errors-for-leak-kinds=definite --keep-debuginfo=yes
      --suppressions=${CMAKE_CURRENT_SOURCE_DIR}/valgrind.supp)
  list(JOIN MEMCHECK " " MEMCHECK_WORDS)
  add_test(NAME window_memcheck
           COMMAND window_test --gtest_filter=RealWindow.FourPagesEachAwaitedByKeyOrClose)
  set_tests_properties(window_memcheck PROPERTIES TIMEOUT 600 ENVIRONMENT
    "VIEWER_WRAPPER=${MEMCHECK_WORDS} --log-file=${CMAKE_BINARY_DIR}/valgrind-%p.log;VIEWER_TIME_SCALE=6")
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/valgrind-pages)
  add_test(NAME export_memcheck COMMAND ${MEMCHECK} $<TARGET_FILE:triangles-export>
                                        ${CMAKE_BINARY_DIR}/valgrind-pages)
  set_tests_properties(export_memcheck PROPERTIES TIMEOUT 300)
  add_test(NAME fonts_memcheck COMMAND ${MEMCHECK} $<TARGET_FILE:unit_tests> --gtest_filter=Fonts.*)
  set_tests_properties(fonts_memcheck PROPERTIES TIMEOUT 300 WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(window_memcheck export_memcheck fonts_memcheck PROPERTIES LABELS memcheck)
endif()

# A whole headless run costs at most 2 % more instructions than a minimal program making the same
# pages with only the SDL and SDL_ttf calls they need (callgrind counts the same every time).
if(VALGRIND AND TRIANGLES_BENCHMARKS)
  add_test(NAME instruction_ratio
           COMMAND ${PROJECT_SOURCE_DIR}/bench/instruction_ratio.sh $<TARGET_FILE:triangles>
                   $<TARGET_FILE:minimal_run> $<TARGET_FILE:answer_waits> 1.02
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(instruction_ratio PROPERTIES LABELS speed)
endif()

# scripts/run builds only what it runs, and runs it.
add_test(NAME run_script COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/run_script_test.sh
                                 ${PROJECT_SOURCE_DIR})
set_tests_properties(run_script PROPERTIES TIMEOUT 600 LABELS script)

# The installed tree, as `cmake --install` makes it under /usr (into PACKAGE_ROOT, where the
# window test runs it): its files and modes exactly those listed, its desktop entry, AppStream
# metadata and manual pages validated. The Debian package itself is built and checked by
# scripts/debian-package.
set(PACKAGE_CHECKS ${CMAKE_CURRENT_SOURCE_DIR}/package_checks.sh)
add_test(NAME package_install COMMAND ${PACKAGE_CHECKS} install ${CMAKE_BINARY_DIR} ${PACKAGE_ROOT})
add_test(NAME package_contents COMMAND ${PACKAGE_CHECKS} contents ${PACKAGE_ROOT}
                                       ${CMAKE_CURRENT_SOURCE_DIR}/package_contents.txt)
add_test(NAME package_desktop_entry COMMAND desktop-file-validate
         ${PACKAGE_ROOT}/usr/share/applications/triangles.desktop)
add_test(NAME package_appstream COMMAND appstreamcli validate --no-net --pedantic
         ${PACKAGE_ROOT}/usr/share/metainfo/${TRIANGLES_APP_ID}.metainfo.xml)
add_test(NAME package_manual_pages COMMAND ${PACKAGE_CHECKS} manual-pages ${PACKAGE_ROOT})
set_tests_properties(package_install package_contents package_desktop_entry package_appstream
                     package_manual_pages PROPERTIES LABELS package)
set_tests_properties(package_install PROPERTIES FIXTURES_SETUP installed)
set_tests_properties(package_contents package_desktop_entry package_appstream package_manual_pages
                     PROPERTIES FIXTURES_REQUIRED installed)

# Static checks of the sources: formatting, clang-tidy and cppcheck report nothing.
file(GLOB_RECURSE PROGRAM_SOURCES ${PROJECT_SOURCE_DIR}/app/*.cpp ${PROJECT_SOURCE_DIR}/raster/*.cpp
     ${PROJECT_SOURCE_DIR}/figure/*.cpp)
file(GLOB_RECURSE ALL_SOURCES ${PROJECT_SOURCE_DIR}/app/*.[ch]* ${PROJECT_SOURCE_DIR}/raster/*.[ch]*
     ${PROJECT_SOURCE_DIR}/figure/*.[ch]* ${PROJECT_SOURCE_DIR}/tests/*.[ch]*
     ${PROJECT_SOURCE_DIR}/bench/*.[ch]*)
list(FILTER ALL_SOURCES EXCLUDE REGEX "(CMakeLists.txt|\\.cmake)$")
find_program(CLANG_FORMAT clang-format)
find_program(CLANG_TIDY clang-tidy)
find_program(CPPCHECK cppcheck)
if(CLANG_FORMAT)
  add_test(NAME format COMMAND ${CLANG_FORMAT} --dry-run --Werror ${ALL_SOURCES})
  set_tests_properties(format PROPERTIES LABELS lint)
endif()
if(CLANG_TIDY)
  file(GLOB TEST_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set(COMPILED_HERE ${PROGRAM_SOURCES})
  list(FILTER COMPILED_HERE EXCLUDE REGEX "/app/(windows|emscripten)/") # cppcheck reads those
  add_test(NAME clang_tidy COMMAND ${CLANG_TIDY} -p ${CMAKE_BINARY_DIR} --quiet ${COMPILED_HERE}
                                   ${TEST_SOURCES})
  set_tests_properties(clang_tidy PROPERTIES TIMEOUT 600 LABELS lint)
endif()
if(CPPCHECK)
  # Newer cppchecks cut the analysis of branches short by default, and report that they did, unless
  # told to analyse them all (--check-level, from cppcheck 2.11 on; 2.10 knows no such option).
  execute_process(COMMAND ${CPPCHECK} --version OUTPUT_VARIABLE CPPCHECK_VERSION)
  string(REGEX MATCH "[0-9.]+" CPPCHECK_VERSION "${CPPCHECK_VERSION}")
  set(CPPCHECK_LEVEL "")
  if(CPPCHECK_VERSION VERSION_GREATER_EQUAL 2.11)
    set(CPPCHECK_LEVEL --check-level=exhaustive)
  endif()
  add_test(NAME cppcheck
           COMMAND ${CPPCHECK} --enable=warning,performance,portability,style --error-exitcode=1
                   ${CPPCHECK_LEVEL} --inline-suppr --quiet --std=c++17
                   --suppress=missingIncludeSystem -I ${PROJECT_SOURCE_DIR}/app
                   -I ${PROJECT_SOURCE_DIR}/raster -I ${PROJECT_SOURCE_DIR}/figure ${PROGRAM_SOURCES})
  set_tests_properties(cppcheck PROPERTIES LABELS lint)
endif()

# The same test against the Windows build under wine, once scripts/build-windows has made it
# (skipped before that).
set(TRIANGLES_WINDOWS_BUILD ${PROJECT_SOURCE_DIR}/build-windows CACHE PATH
    "Where scripts/build-windows leaves the zip and the installer")
add_test(NAME wine_test COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/wine_test.sh ${TRIANGLES_WINDOWS_BUILD}
                                $<TARGET_FILE:window_test>)
set_tests_properties(wine_test PROPERTIES TIMEOUT 900 SKIP_RETURN_CODE 77 LABELS wine)

# The web build in three engines, the same checks in each, once scripts/build-web has made it
# (skipped before that); an engine that is missing or does not start fails.
set(TRIANGLES_WEB_BUILD ${PROJECT_SOURCE_DIR}/build-web CACHE PATH
    "Where scripts/build-web leaves the site and the one-file page")
foreach(engine chromium firefox webkit)
  add_test(NAME web_test_${engine}
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/web_test.sh ${TRIANGLES_WEB_BUILD} ${engine})
  set_tests_properties(web_test_${engine} PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77
                       LABELS web)
endforeach()
# In Chromium with its own tools: the first page on a phone's profile (alone, as it is timed) and
# the site installed and offline.
add_test(NAME web_phone COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/web_test.sh
                                    ${TRIANGLES_WEB_BUILD} phone)
add_test(NAME web_offline COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/web_test.sh
                                      ${TRIANGLES_WEB_BUILD} offline)
set_tests_properties(web_phone web_offline PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77
                     LABELS web)
set_tests_properties(web_phone PROPERTIES RUN_SERIAL TRUE)

