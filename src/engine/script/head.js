<head><script id='script' type='text/javascript'>
function gkp(){var k=window.event?window.event.keyCode:0;if(k==103){guc();}if(k==26){un();}}
function r(i){si[ec]=i;ec=ec+1;}
function guc(){}
function un(){}
var si=new Array();var ec=0;var sd=new Array();var imd=new Array();var uc=new Array();var ue=new Array();var ui=new Array();var uco=new Array();var u=-1;var sco='';var b=0;sd[0]='initialise';imd[0]=',images:';