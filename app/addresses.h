// Korvex's places on the web and its support address, opened by the Help menu and the
// about box. The program itself never connects anywhere: the user's browser or mail
// program does.
#pragma once

#include <string_view>

namespace korvex {

inline constexpr std::string_view kWebSite = "https://korvex.example.org/";
inline constexpr std::string_view kSupportPage = "https://korvex.example.org/support";
inline constexpr std::string_view kUpgradePage = "https://korvex.example.org/upgrade";
inline constexpr std::string_view kSupportEmail = "support@korvex.example.org";
inline constexpr std::string_view kMailTo = "mailto:support@korvex.example.org";

}  // namespace korvex
