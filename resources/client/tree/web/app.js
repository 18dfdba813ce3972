document.title = "Vexa";
