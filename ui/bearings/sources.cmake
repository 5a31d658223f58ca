# Sources of ui/bearings: defines its own libraries (see the top-level CMakeLists.txt).
