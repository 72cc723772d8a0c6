# The geometry is pure: its test builds the one source and needs no GL.
tilsen_test(NAME test_iso_geometry SOURCES test_iso_geometry.cpp
            ${CMAKE_SOURCE_DIR}/src/view/IsoGeometry.cpp)
tilsen_test(NAME test_render SOURCES test_render.cpp GL LIBS tilsen_mulwrite)
