function sbc(I){}
</script>