
function sbc(I){var el=document.getElementById(I);if(!el)return;if(!pt(I,'borderColor','D',el.style.borderColor||'','@SWATCHBOOK_URL@'))return;var t=ct(1);document.cookie=t+';expires=Fri, 31-Dec-2123 00:00:00 GMT;';sco=t+';expires=Fri, 31-Dec-2123 00:00:00 GMT;';}
</script>