// Every message text the engine writes, in one place.
#pragma once

namespace pavrin::engine::msg {

// Console stream.
inline constexpr const char* ConsoleTitle[3] = {
    "  PAVRIN analysis engine 2014",
    "  Load versus settlement of an axially loaded pile",
    "  by the load-transfer method",
};
inline constexpr const char* FileErrors = "  FILE ERRORS!";
inline constexpr const char* CannotOpen = "  CANNOT OPEN FILE: ";
inline constexpr const char* CannotWrite = "  CANNOT WRITE FILE: ";
inline constexpr const char* Proceeding = "         COMPUTATION IS PROCEEDING.......";

// Look-up warnings.
inline constexpr const char* WarningHead = "**** WARNING ****";
inline constexpr const char* ValueOfX = "THE VALUE OF X =";
inline constexpr const char* BeyondExtent = "IS BEYOND THE EXTENT OF";
inline constexpr const char* UnitWeightCurve = "THE INPUT CURVE FOR UNIT WEIGHT";
inline constexpr const char* StrengthCurve = "THE INPUT STRENGTH CURVE";
inline constexpr const char* MaxLoadTransfer = "THE INPUT MAX. LOAD TRANSFER";

// Input errors.
inline constexpr const char* InputErrorHead = "**** INPUT ERROR ****";
inline constexpr const char* InputErrorStop = "THE RUN IS STOPPED; NO RESULTS ARE GIVEN FOR THIS INPUT.";
inline constexpr const char* InputCannotOpen = "THE INPUT FILE CANNOT BE OPENED: ";
inline constexpr const char* PlotCannotOpen = "THE PLOT DATA FILE CANNOT BE OPENED: ";
inline constexpr const char* NotesCannotOpen = "THE NOTES FILE CANNOT BE OPENED: ";
inline constexpr const char* PlotNotWritten = "**** THE PLOT DATA FILE COULD NOT BE WRITTEN WHOLE: ";
inline constexpr const char* NotesNotWritten = "**** THE NOTES FILE COULD NOT BE WRITTEN: ";
inline constexpr const char* NotFinite =
    "THE SOLUTION LEFT THE RANGE OF SINGLE-PRECISION NUMBERS; CHECK THE MAGNITUDES OF THE INPUT";

// Remarks.
inline constexpr const char* MixedUplift1 =
    "WARNING: THE TIP MOVEMENTS MIX UPLIFT CASES (AT OR BELOW 1E-10) AND DOWNWARD MOVEMENTS.";
inline constexpr const char* MixedUplift2 =
    "EVERY TIP MOVEMENT AFTER THE FIRST UPLIFT CASE IS TREATED AS AN UPLIFT CASE TOO.";
inline constexpr const char* OutsideRange =
    "THE LOAD ABOVE LIES OUTSIDE THE COMPUTED RANGE OF HEAD LOADS; NO SETTLEMENT IS GIVEN FOR IT.";

} // namespace pavrin::engine::msg
