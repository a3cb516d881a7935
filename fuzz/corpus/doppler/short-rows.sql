AO-7,145950,USB,beacon,x,y
AO-7,abc,FM,bad,1,2
AO-7,1

,435.1,,,,
