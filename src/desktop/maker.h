#pragma once
// Who makes and supports the program, as the about box and the notice name it.

namespace Maker {

inline const char *kCompanyName = "Cobrelle Software";
inline const char *kPostalAddress = "Via dei Mille 1, 00100 Roma (RM)";
inline const char *kTelephone = "Tel. +39 06 0000000";
inline const char *kFax = "Fax +39 06 0000001";
inline const char *kWeb = "https://www.cobrelle.example";
inline const char *kMail = "assistenza@cobrelle.example";

} // namespace Maker
