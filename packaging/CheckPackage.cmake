# Checks a Quellmoor zip: exactly the screen saver, its two pictures and the installation notes in
# one folder named like the archive, stored in the order of their names; the .scr a Windows program for MACHINE (i386 or x86_64);
# the pictures TGA files of the right kind, and byte for byte those in PICTURES when given.
# Usage: cmake -DARCHIVE=Quellmoor-1.0.0-win64.zip -DMACHINE=x86_64 [-DPICTURES=dir] -P CheckPackage.cmake
cmake_minimum_required(VERSION 3.21)

function(fail message)
    message(FATAL_ERROR "${ARCHIVE}: ${message}")
endfunction()

# Little-endian number from `count` bytes at `offset` of a file.
function(read_number file offset count result)
    file(READ ${file} hex OFFSET ${offset} LIMIT ${count} HEX)
    string(LENGTH "${hex}" length)
    math(EXPR wanted "${count} * 2")
    if(NOT length EQUAL wanted)
        set(${result} -1 PARENT_SCOPE)
        return()
    endif()
    set(value 0)
    math(EXPR last "${count} - 1")
    foreach(i RANGE ${last} 0 -1)
        math(EXPR at "${i} * 2")
        string(SUBSTRING "${hex}" ${at} 2 byte)
        math(EXPR value "${value} * 256 + 0x${byte}")
    endforeach()
    set(${result} ${value} PARENT_SCOPE)
endfunction()

if(NOT DEFINED ARCHIVE OR NOT EXISTS "${ARCHIVE}")
    message(FATAL_ERROR "no archive at '${ARCHIVE}'")
endif()
if(MACHINE STREQUAL "i386")
    set(machine_code 332) # IMAGE_FILE_MACHINE_I386
elseif(MACHINE STREQUAL "x86_64")
    set(machine_code 34404) # IMAGE_FILE_MACHINE_AMD64
else()
    message(FATAL_ERROR "MACHINE must be i386 or x86_64, not '${MACHINE}'")
endif()

get_filename_component(top "${ARCHIVE}" NAME_WLE)
get_filename_component(archive_dir "${ARCHIVE}" DIRECTORY)
set(unpacked "${archive_dir}/${top}.check")
file(REMOVE_RECURSE "${unpacked}")
file(ARCHIVE_EXTRACT INPUT "${ARCHIVE}" DESTINATION "${unpacked}")

file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE "${unpacked}" "${unpacked}/*")
list(SORT found)
set(expected "${top}/INSTALL.txt" "${top}/Quellmoor.scr" "${top}/quellmoorMap.tga"
             "${top}/quellmoorTex.tga")
if(NOT found STREQUAL expected)
    fail("holds '${found}', expected '${expected}'")
endif()
set(dir "${unpacked}/${top}")

# Stored in the order of the names, not of one file system's listing, so that every machine packs
# the same zip.
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf "${ARCHIVE}" OUTPUT_VARIABLE stored
                COMMAND_ERROR_IS_FATAL ANY)
string(STRIP "${stored}" stored)
string(REPLACE "\n" ";" stored "${stored}")
set(sorted ${stored})
list(SORT sorted)
if(NOT stored STREQUAL sorted)
    fail("stores '${stored}', not in the order of the names")
endif()

read_number("${dir}/Quellmoor.scr" 0 2 mz)
read_number("${dir}/Quellmoor.scr" 60 4 pe_offset)
if(NOT mz EQUAL 23117 OR pe_offset LESS 64) # "MZ"
    fail("Quellmoor.scr is not a Windows program")
endif()
read_number("${dir}/Quellmoor.scr" ${pe_offset} 4 pe)
math(EXPR machine_offset "${pe_offset} + 4")
read_number("${dir}/Quellmoor.scr" ${machine_offset} 2 machine)
if(NOT pe EQUAL 17744 OR NOT machine EQUAL machine_code) # "PE\0\0"
    fail("Quellmoor.scr is not a ${MACHINE} Windows program (machine ${machine})")
endif()

foreach(picture "quellmoorMap.tga;3;8" "quellmoorTex.tga;2;24")
    list(GET picture 0 name)
    list(GET picture 1 type)
    list(GET picture 2 depth)
    read_number("${dir}/${name}" 2 1 found_type)
    read_number("${dir}/${name}" 16 1 found_depth)
    if(NOT found_type EQUAL type OR NOT found_depth EQUAL depth)
        fail("${name} is not an uncompressed ${depth}-bit TGA of type ${type}")
    endif()
    if(DEFINED PICTURES)
        file(SHA256 "${dir}/${name}" packed)
        file(SHA256 "${PICTURES}/${name}" built)
        if(NOT packed STREQUAL built)
            fail("${name} differs from the one in ${PICTURES}")
        endif()
    endif()
endforeach()

file(READ "${dir}/INSTALL.txt" notes)
foreach(word "System32" "Install")
    string(FIND "${notes}" "${word}" at)
    if(at LESS 0)
        fail("INSTALL.txt does not mention ${word}")
    endif()
endforeach()
if(MACHINE STREQUAL "i386")
    string(FIND "${notes}" "SysWOW64" at)
    if(at LESS 0)
        fail("INSTALL.txt of a 32-bit build does not name SysWOW64")
    endif()
endif()

file(REMOVE_RECURSE "${unpacked}")
message(STATUS "${ARCHIVE}: complete")
