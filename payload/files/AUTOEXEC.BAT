REM Demo placeholder: the boot disk creator writes the real AUTOEXEC.BAT.
