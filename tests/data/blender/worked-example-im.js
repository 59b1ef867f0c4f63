var
im='/home/u/.local/share/huewright/Temp/im3F.tmp';
var
op='/srv/site/img/logo.gif';
var
mod='?mod(100,100,,140)$mod$';
var
oc='^oc13395507^^';