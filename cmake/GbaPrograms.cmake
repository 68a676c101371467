# Builds console programs (cartridge images) from assembly and C sources with
# the ARM cross toolchain, then writes a valid cartridge header with gba-header.
find_program(ARM_GCC arm-none-eabi-gcc REQUIRED)
find_program(ARM_OBJCOPY arm-none-eabi-objcopy REQUIRED)

set(GBA_SUPPORT_DIR ${CMAKE_SOURCE_DIR}/tests/programs/support)
set(GBA_CFLAGS -mcpu=arm7tdmi -O2 -Wall -Wextra -Werror -ffreestanding -nostdlib -nostartfiles
    -fno-pic -I${GBA_SUPPORT_DIR})

# add_gba_program(NAME SOURCES file... [TITLE text] [CODE four-letters] [OUTPUT_DIR dir] [FLAGS ...])
# produces ${OUTPUT_DIR}/${NAME}.gba and a target gba_${NAME}.
function(add_gba_program NAME)
  cmake_parse_arguments(ARG "" "TITLE;CODE;OUTPUT_DIR" "SOURCES;FLAGS" ${ARGN})
  if(NOT ARG_TITLE)
    string(TOUPPER "${NAME}" ARG_TITLE)
  endif()
  if(NOT ARG_CODE)
    set(ARG_CODE "TTMB")
  endif()
  if(NOT ARG_OUTPUT_DIR)
    set(ARG_OUTPUT_DIR ${CMAKE_BINARY_DIR}/programs)
  endif()
  set(elf ${CMAKE_CURRENT_BINARY_DIR}/${NAME}.elf)
  set(bin ${CMAKE_CURRENT_BINARY_DIR}/${NAME}.bin)
  set(gba ${ARG_OUTPUT_DIR}/${NAME}.gba)
  set(sources ${GBA_SUPPORT_DIR}/crt0.s)
  foreach(src ${ARG_SOURCES})
    get_filename_component(abs ${src} ABSOLUTE)
    list(APPEND sources ${abs})
  endforeach()
  add_custom_command(OUTPUT ${gba}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ARG_OUTPUT_DIR}
    COMMAND ${ARM_GCC} ${GBA_CFLAGS} ${ARG_FLAGS} -T ${GBA_SUPPORT_DIR}/gba.ld ${sources} -lgcc -o ${elf}
    COMMAND ${ARM_OBJCOPY} -O binary ${elf} ${bin}
    COMMAND gba-header ${bin} ${gba} --title ${ARG_TITLE} --code ${ARG_CODE}
    DEPENDS ${sources} ${GBA_SUPPORT_DIR}/gba.ld ${GBA_SUPPORT_DIR}/gba.inc gba-header
    COMMENT "Building cartridge ${NAME}.gba"
    VERBATIM)
  add_custom_target(gba_${NAME} ALL DEPENDS ${gba})
endfunction()
