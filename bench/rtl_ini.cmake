# QSettings in its ini format is the reference reader of ini_read.
find_package(Qt6 REQUIRED COMPONENTS Core)
target_link_libraries(bench_rtl_ini PRIVATE Qt6::Core)
