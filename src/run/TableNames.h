// The Horalis tables, by the names Horalis gives them. The forward run writes
// the first six; Horalis writes SOLUC, which the return run reads together
// with the tables of the forward run.
#pragma once

namespace puente::tables {

inline constexpr char kAsignomt[] = "ASIGNOMT";      // subjects and tasks
inline constexpr char kProft[] = "PROFT";            // teachers
inline constexpr char kAulat[] = "AULAT";            // rooms
inline constexpr char kGrupost[] = "GRUPOST";        // groups
inline constexpr char kDiashorast[] = "DIASHORAST";  // day and hour slots
inline constexpr char kAsigt[] = "ASIGT";            // teaching assignments
inline constexpr char kSoluc[] = "SOLUC";            // the timetable Horalis computed

// The six tables of the forward run, in the order it writes them: the set
// that a backup holds and a restore puts back.
inline constexpr const char* kForwardSet[] = {kAsignomt, kProft, kAulat, kGrupost, kDiashorast, kAsigt};

}  // namespace puente::tables
