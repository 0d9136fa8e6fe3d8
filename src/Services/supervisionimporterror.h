#pragma once

// The two ways a rules file is refused: `invalidFile` (the bytes are no rules file of this format and version, or
// hold values the supervision engine cannot take) and `brokenReferences` (a rule or plan names a group that the file
// does not hold).
enum class SupervisionImportError { invalidFile, brokenReferences };
