tilsen_test(NAME test_selection SOURCES test_selection.cpp GUI)
tilsen_test(NAME test_tileeditor SOURCES test_tileeditor.cpp GL LIBS tilsen_mulwrite)
