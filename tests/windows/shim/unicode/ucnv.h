// libxml2 names these ICU types only; declared for a compile check against Linux headers.
typedef char16_t UChar;
typedef struct UConverter UConverter;
