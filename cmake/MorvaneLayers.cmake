# morvane_add_layer(NAME [SOURCES ...] [PUBLIC ...] [PRIVATE ...])
#
# One static library per subsystem folder. The libraries are linked in one direction only
# (common < data < drivers < dbengine < settings < engine < wizard < control, each "ui"
# folder above every non-visual one), so a call that runs the wrong way has no library to
# resolve it and fails to link; tests/layering checks the includes as well. They are built
# position-independent because the shared libraries are made from them.
function(morvane_add_layer name)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>)
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
endfunction()

# morvane_register_driver(NAME): the driver library morvane_driver_NAME is built; the engine
# object (export/data/dbengine) links it and compiles its registration, guarded by
# MORVANE_WITH_<NAME>. Call it from the driver's folder, before dbengine is configured.
function(morvane_register_driver name)
    set_property(GLOBAL APPEND PROPERTY MORVANE_OPTIONAL_DRIVERS ${name})
    string(TOUPPER ${name} upper)
    set(MORVANE_${upper}_BUILT ON CACHE INTERNAL "The ${name} driver is part of the engine")
endfunction()
