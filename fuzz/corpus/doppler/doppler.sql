; aostrack satellite frequency database: one row per line, fields
; separated by commas, no quoting. A line whose first character is ";" is a
; comment; there are no empty lines.
;
; key,downlink kHz,uplink kHz,mode,tone Hz,remark
;
; key: a piece of the satellite's name as the element file writes it, upper
;      and lower case distinct, blanks count. Every satellite whose name
;      contains it gets the row, so keys are written out in full: "(AO-7)"
;      with its parentheses does not also match FUNCUBE-1 (AO-73), and
;      "ISS (ZARYA)" does not also match SWISSCUBE.
; downlink: the frequency the receiver follows, in kHz (whole kHz need no
;      decimal separator). The first row of a satellite is its default.
; mode: shown beside the frequency. uplink, tone and remark are for the
;      operator and are not read by the program; 0 means none.
ISS (ZARYA),145800,145200,FM voice,0,ISS (ZARYA) ARISS voice IARU region 1
ISS (ZARYA),145825,145825,APRS,0,ISS (ZARYA) packet digipeater
SO-50,436795,145850,FM,67.0,SAUDISAT 1C (SO-50) FM repeater
AO-27,436795,145850,FM,0,EYESAT A (AO-27) FM repeater
DIWATA-2,145900,437500,FM,141.3,DIWATA-2B (PO-101) FM repeater
FUNCUBE-1,145935,0,BPSK,0,FUNCUBE-1 (AO-73) telemetry
FUNCUBE-1,145960,435140,SSB/CW,0,FUNCUBE-1 (AO-73) inverting transponder centre
RS-44,435640,145965,SSB/CW,0,RS-44 inverting transponder centre
RS-44,435605,0,CW,0,RS-44 beacon
JAS-2 (FO-29),435850,145950,SSB/CW,0,FO-29 inverting transponder centre
(AO-7),145950,432150,SSB/CW,0,AO-7 mode B inverting transponder centre
UOSAT 2,145826,0,AFSK,0,UO-11 beacon
GREENCUBE,435310,435310,BPSK,0,GREENCUBE (IO-117) digipeater
ES'HAIL 2,10489500,0,CW,0,QO-100 narrowband transponder lower beacon
ES'HAIL 2,10489675,2400175,SSB,0,QO-100 narrowband transponder centre
