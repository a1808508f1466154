#!/usr/bin/env bash
# xp-imports.sh OBJDUMP EXE: fails, naming them, when EXE imports a function
# that Windows XP SP3 does not have, or its PE header asks for a later
# Windows. Toolchains pull such functions in behind our back (a thread
# runtime's GetTickCount64, the Vista locale and synchronisation functions,
# msvcrt's secure "_s" functions, which XP's msvcrt.dll lacks), and the
# loader then refuses the whole program with no word of why.
set -euo pipefail
objdump="$1" exe="$2"

# Functions of Vista and later that a C or C++ runtime, or a careless call,
# brings in. XP's own DLLs export none of them.
later=(
  GetTickCount64 GetSystemTimePreciseAsFileTime GetCurrentThreadStackLimits
  InitializeSRWLock AcquireSRWLockExclusive AcquireSRWLockShared ReleaseSRWLockExclusive
  ReleaseSRWLockShared TryAcquireSRWLockExclusive TryAcquireSRWLockShared
  InitializeConditionVariable SleepConditionVariableCS SleepConditionVariableSRW
  WakeConditionVariable WakeAllConditionVariable
  InitOnceExecuteOnce InitOnceBeginInitialize InitOnceComplete InitializeCriticalSectionEx
  CreateEventExA CreateEventExW CreateMutexExA CreateMutexExW CreateSemaphoreExA
  CreateSemaphoreExW CreateWaitableTimerExW GetThreadId GetCurrentProcessorNumber
  FlsAlloc FlsFree FlsGetValue FlsSetValue
  GetFinalPathNameByHandleA GetFinalPathNameByHandleW GetFileInformationByHandleEx
  SetFileInformationByHandle CreateSymbolicLinkA CreateSymbolicLinkW CreateFile2
  CancelIoEx GetQueuedCompletionStatusEx QueryFullProcessImageNameA QueryFullProcessImageNameW
  GetLocaleInfoEx LCIDToLocaleName LocaleNameToLCID GetUserDefaultLocaleName
  GetSystemDefaultLocaleName CompareStringEx LCMapStringEx GetDateFormatEx GetTimeFormatEx
  GetNumberFormatEx GetCurrencyFormatEx EnumSystemLocalesEx IsValidLocaleName
  ResolveLocaleName GetThreadPreferredUILanguages GetUserPreferredUILanguages
  GetErrorMode SetThreadErrorMode AddDllDirectory SetDefaultDllDirectories GetProductInfo
  RegGetValueA RegGetValueW RegDeleteKeyExA RegDeleteKeyExW RegDeleteTreeA RegDeleteTreeW
  SetProcessDPIAware SetProcessDpiAwareness SetProcessDpiAwarenessContext GetDpiForWindow
  GetDpiForSystem SetThreadDpiAwarenessContext ChangeWindowMessageFilter
  ChangeWindowMessageFilterEx ShutdownBlockReasonCreate RegisterTouchWindow
  _get_invalid_parameter_handler _set_invalid_parameter_handler
)

headers="$("$objdump" -p "$exe")"
# Dll name, then one imported function a line, as objdump prints them.
imports="$(awk '
  /^\tDLL Name: / { dll = $3; next }
  dll != "" && /^\t[ \t]*[0-9a-f]+[ \t]+[0-9]+[ \t]+[A-Za-z_]/ { print dll, $NF; next }
  /^$/ { if (dll != "" && seen) dll = ""; next }
  { if (dll != "") seen = 1 }
' <<<"$headers")"

bad=()
while read -r dll function; do
  [ -n "${function:-}" ] || continue
  for name in "${later[@]}"; do
    [ "$function" = "$name" ] && bad+=("$dll!$function")
  done
  if [[ ${dll,,} == msvcrt.dll && $function == *_s ]]; then bad+=("$dll!$function"); fi
done <<<"$imports"

major="$(sed -n 's/^MajorSubsystemVersion[[:space:]]*//p' <<<"$headers")"
minor="$(sed -n 's/^MinorSubsystemVersion[[:space:]]*//p' <<<"$headers")"
if ((major > 5 || (major == 5 && minor > 2))); then
  bad+=("subsystem version $major.$minor")
fi

count="$(grep -c . <<<"$imports" || true)"
if ((${#bad[@]})); then
  echo "xp-imports: $exe needs more than Windows XP SP3: ${bad[*]}" >&2
  exit 1
fi
echo "xp-imports: $count imported functions, all on Windows XP SP3; subsystem $major.$minor"
