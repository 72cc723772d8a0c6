tilsen_test(NAME test_multifile SOURCES test_multifile.cpp MultiPair.h LIBS tilsen_mulwrite)
tilsen_test(NAME test_multiexchange GUI SOURCES test_multiexchange.cpp MultiPair.h LIBS tilsen_mulwrite)
