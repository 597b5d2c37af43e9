#pragma once

// The maker's addresses. Every link of the program opens the home page, whatever text it shows.
constexpr char kHomePageAddress[] = "http://www.varnick-software.example/";
constexpr char kMakerEmailAddress[] = "support@varnick-software.example";
