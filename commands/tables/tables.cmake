# The command tables: commands/tables/*.txt turned into C++ arrays (and
# checked) by gen_tables.py at build time; appended to the library sources.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
file(GLOB COMMAND_TABLE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/commands/tables/*.txt)
set(COMMAND_TABLES_CPP ${CMAKE_BINARY_DIR}/commands/command_tables_data.cpp)
add_custom_command(
  OUTPUT ${COMMAND_TABLES_CPP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/commands
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/commands/tables/gen_tables.py
          ${CMAKE_SOURCE_DIR}/commands/command_tables.h ${CMAKE_SOURCE_DIR}/commands/tables ${COMMAND_TABLES_CPP}
  DEPENDS ${CMAKE_SOURCE_DIR}/commands/tables/gen_tables.py ${CMAKE_SOURCE_DIR}/commands/command_tables.h
          ${COMMAND_TABLE_SOURCES}
  COMMENT "Generating the command tables")
list(APPEND LIB_SOURCES ${COMMAND_TABLES_CPP})
