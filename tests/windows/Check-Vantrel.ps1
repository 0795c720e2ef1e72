# The defrag service on a real Windows machine (Windows 7 and later; PowerShell 2.0
# is enough). Run it as administrator, from a folder that holds servicecheck.exe:
#
#   powershell -ExecutionPolicy Bypass -File Check-Vantrel.ps1 [-Service <defragsvc.exe>]
#
# (check-vantrel.cmd beside it does just that.) It
#   1. prints the medium of the system drive as the program sees it;
#   2. makes sure the service "Vantrel" is installed, on this machine's drives (not
#      simulated ones), and running;
#   3. creates a small VHD with diskpart, attaches it, formats it NTFS and gives it a
#      letter;
#   4. fragments it: many small files, every other one deleted, then large files
#      written in turns into the holes; and records the SHA-256 of every file;
#   5. runs an analysis and both optimization passes through servicecheck.exe, and
#      an analysis once more;
#   6. compares every file's hash and the fragmentation before and after;
#   7. detaches the VHD and deletes it, whatever happened before.
# It ends with "PASS" and exit code 0, or "FAIL: <why>" and exit code 1.
param(
    # defragsvc.exe, to install the service when it is missing; by default the
    # installed one, else the one beside this script.
    [string]$Service = "",
    [int]$VhdMegabytes = 400,
    [switch]$KeepVhd
)

$ErrorActionPreference = "Stop"
$here = Split-Path -Parent $MyInvocation.MyCommand.Path
$check = Join-Path $here "servicecheck.exe"

function Fail([string]$why) {
    Write-Host "FAIL: $why"
    exit 1
}

function Run-Check([string[]]$arguments) {
    $output = & $check @arguments
    $code = $LASTEXITCODE
    $output | ForEach-Object { Write-Host "  $_" }
    return @{ Code = $code; Lines = @($output) }
}

# The value after "name: " in the first line that has it.
function Value-Of($lines, [string]$name) {
    foreach ($line in $lines) {
        if ($line -like "${name}: *") {
            return $line.Substring($name.Length + 2).TrimEnd('%')
        }
    }
    return $null
}

function Run-Diskpart([string[]]$commands) {
    $script = [System.IO.Path]::GetTempFileName()
    Set-Content -Path $script -Value $commands -Encoding ASCII
    $output = & diskpart.exe /s $script
    $code = $LASTEXITCODE
    Remove-Item $script
    if ($code -ne 0) {
        $output | ForEach-Object { Write-Host "  $_" }
        throw "diskpart failed (exit code $code)"
    }
}

function Hashes([string]$root) {
    $sha = [System.Security.Cryptography.SHA256]::Create()
    $table = @{}
    Get-ChildItem -Path $root -Recurse -Force -ErrorAction SilentlyContinue |
        Where-Object { -not $_.PSIsContainer -and $_.FullName -notlike "*System Volume Information*" } |
        ForEach-Object {
            $stream = [System.IO.File]::OpenRead($_.FullName)
            try {
                $table[$_.FullName] = [System.BitConverter]::ToString($sha.ComputeHash($stream))
            } finally {
                $stream.Close()
            }
        }
    return $table
}

# Appends `bytes` random bytes to a file. NTFS gives a file its clusters as it grows
# (it does not wait for the data to reach the disk), so the files that grow in turns
# take the holes in turns.
function Append-Bytes([string]$path, [int]$bytes, [System.Random]$random) {
    $data = New-Object byte[] $bytes
    $random.NextBytes($data)
    $stream = New-Object System.IO.FileStream($path, [System.IO.FileMode]::Append,
                                              [System.IO.FileAccess]::Write)
    try {
        $stream.Write($data, 0, $data.Length)
        $stream.Flush()
    } finally {
        $stream.Close()
    }
}

# ---- 0. Rights and tools ---------------------------------------------------------------
$principal = New-Object Security.Principal.WindowsPrincipal(
    [Security.Principal.WindowsIdentity]::GetCurrent())
if (-not $principal.IsInRole([Security.Principal.WindowsBuiltInRole]::Administrator)) {
    Fail "run this script as administrator"
}
if (-not (Test-Path $check)) {
    Fail "servicecheck.exe is not beside this script ($here)"
}

# ---- 1. The medium of the system drive --------------------------------------------------
$systemLetter = $env:SystemDrive.Substring(0, 1)
Write-Host "The medium of the system drive:"
[void](Run-Check @("media", $systemLetter))

# ---- 2. The service, on this machine's drives -------------------------------------------
$parameters = "HKLM:\SYSTEM\CurrentControlSet\Services\Vantrel\Parameters"
if (-not (Get-Service -Name Vantrel -ErrorAction SilentlyContinue)) {
    if ($Service -eq "") {
        $Service = Join-Path $env:ProgramFiles "Brenlow\Vantrel\defragsvc.exe"
        if (-not (Test-Path $Service)) {
            $Service = Join-Path $here "defragsvc.exe"
        }
    }
    if (-not (Test-Path $Service)) {
        Fail "the service is not installed and defragsvc.exe was not found (-Service <path>)"
    }
    Write-Host "Installing the service from $Service"
    & $Service --install
    if ($LASTEXITCODE -ne 0) { Fail "defragsvc --install answered $LASTEXITCODE" }
}
$simulate = (Get-ItemProperty -Path $parameters -Name Simulate -ErrorAction SilentlyContinue).Simulate
$dryRun = (Get-ItemProperty -Path $parameters -Name DryRun -ErrorAction SilentlyContinue).DryRun
if ($simulate -eq 1 -or $dryRun -eq 1) {
    Fail "the installed service works on simulated drives or only plans: install it again without /simulate or --dry-run"
}
Start-Service -Name Vantrel
Write-Host "The service runs."

# ---- 3. A VHD with an NTFS volume -------------------------------------------------------
$used = [System.IO.DriveInfo]::GetDrives() | ForEach-Object { $_.Name.Substring(0, 1) }
$letter = "TSRQPONMLKJIHGFED".ToCharArray() | Where-Object { $used -notcontains [string]$_ } |
    Select-Object -First 1
if (-not $letter) { Fail "no free drive letter" }
$vhd = Join-Path $env:TEMP "VantrelCheck.vhd"
if (Test-Path $vhd) { Remove-Item $vhd }
$result = "FAIL: the check did not finish"
try {
    Write-Host "Creating $vhd ($VhdMegabytes MB) as drive ${letter}:"
    Run-Diskpart @(
        "create vdisk file=`"$vhd`" maximum=$VhdMegabytes type=fixed",
        "select vdisk file=`"$vhd`"",
        "attach vdisk",
        "create partition primary",
        "format fs=ntfs quick label=VantrelCheck",
        "assign letter=$letter")
    $root = "${letter}:\"
    for ($wait = 0; $wait -lt 60 -and -not (Test-Path $root); $wait++) { Start-Sleep -Milliseconds 500 }
    Write-Host "The medium of the VHD:"
    $media = Run-Check @("media", [string]$letter)

    # ---- 4. Fragment it, and hash every file ---------------------------------------------
    Write-Host "Fragmenting ${letter}:"
    $random = New-Object System.Random 20240611
    $small = Join-Path $root "Small"
    $large = Join-Path $root "Large"
    New-Item -ItemType Directory -Path $small, $large | Out-Null
    for ($i = 0; $i -lt 1500; $i++) {
        Append-Bytes (Join-Path $small "small$i.bin") (16384 + $random.Next(49152)) $random
    }
    for ($i = 0; $i -lt 1500; $i += 2) {
        Remove-Item (Join-Path $small "small$i.bin")
    }
    for ($turn = 0; $turn -lt 40; $turn++) {
        for ($i = 0; $i -lt 16; $i++) {
            Append-Bytes (Join-Path $large "large$i.bin") (65536 + 4096 * $random.Next(32)) $random
        }
    }
    $before = Hashes $root
    Write-Host "$($before.Count) files hashed."

    # ---- 5. Analysis, both passes, analysis ----------------------------------------------
    Write-Host "Analysis:"
    $first = Run-Check @("analyze", [string]$letter)
    if ($first.Code -ne 0) { throw "the analysis ended with exit code $($first.Code)" }
    Write-Host "Optimization:"
    $passes = Run-Check @("optimize", [string]$letter)
    if ($passes.Code -ne 0) { throw "the optimization ended with exit code $($passes.Code)" }
    Write-Host "Analysis after the optimization:"
    $last = Run-Check @("analyze", [string]$letter)
    if ($last.Code -ne 0) { throw "the last analysis ended with exit code $($last.Code)" }

    # ---- 6. Compare ----------------------------------------------------------------------
    $after = Hashes $root
    $lost = @($before.Keys | Where-Object { $after[$_] -ne $before[$_] })
    if ($lost.Count -ne 0 -or $after.Count -ne $before.Count) {
        throw "$($lost.Count) files changed or went missing (first: $($lost | Select-Object -First 1))"
    }
    Write-Host "Every file's hash is as it was."
    $fragmentedBefore = [int64](Value-Of $first.Lines "fragmented files")
    $fragmentedAfter = [int64](Value-Of $last.Lines "fragmented files")
    $volumeBefore = [double](Value-Of $first.Lines "volume fragmentation")
    $volumeAfter = [double](Value-Of $last.Lines "volume fragmentation")
    Write-Host "Fragmented files: $fragmentedBefore before, $fragmentedAfter after."
    Write-Host "Volume fragmentation: $volumeBefore% before, $volumeAfter% after."
    $solidState = (Value-Of $media.Lines "medium of $letter") -like "solid-state*"
    if ($fragmentedBefore -eq 0) {
        throw "the VHD was not fragmented: nothing was checked"
    } elseif ($solidState) {
        if ($fragmentedAfter -ne $fragmentedBefore) { throw "files moved on a solid-state medium" }
        $result = "PASS (the VHD reports a solid-state medium: nothing was moved, as it must be)"
    } elseif ($fragmentedAfter -ge $fragmentedBefore -or $volumeAfter -ge $volumeBefore) {
        throw "the optimization left the VHD as fragmented as it was"
    } else {
        $result = "PASS"
    }
} catch {
    $result = "FAIL: $_"
} finally {
    # ---- 7. Detach ------------------------------------------------------------------------
    if (-not $KeepVhd -and (Test-Path $vhd)) {
        try {
            Run-Diskpart @("select vdisk file=`"$vhd`"", "detach vdisk")
            Remove-Item $vhd
            Write-Host "The VHD was detached and deleted."
        } catch {
            Write-Host "The VHD could not be detached: $_ ($vhd)"
        }
    }
}
Write-Host $result
if ($result -eq "PASS" -or $result -like "PASS *") { exit 0 }
exit 1
