@echo off
rem Runs Check-Vantrel.ps1 beside this file (as administrator); arguments go to it.
powershell.exe -NoProfile -ExecutionPolicy Bypass -File "%~dp0Check-Vantrel.ps1" %*
exit /b %errorlevel%
