#pragma once
// The maker's web address, which the program's messages name.
namespace fw {

inline constexpr const char* kMakerAddress = "https://fretwerk.example.org";

}  // namespace fw
