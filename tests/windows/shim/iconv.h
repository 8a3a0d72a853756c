typedef void* iconv_t;  // libxml2 names the type only; Windows builds have no iconv
