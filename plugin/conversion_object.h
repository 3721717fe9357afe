// One source file as the host sees it. The object holds no data: its
// construction does the whole job for the file and keeps nothing.
#pragma once

#include <cstdint>

class ConversionObject {
public:
    ConversionObject(const char* sourcePath, std::int32_t* result);
};
